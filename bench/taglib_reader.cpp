#include <taglib/fileref.h>
#include <taglib/tag.h>

#include "bench/readers.h"

namespace cvx::bench {

namespace {

class TagLibReader : public Reader {
public:
    void Read(const char* path, PassTotals& totals) override {
        ++totals.files;
        const TagLib::FileRef file(path, true, TagLib::AudioProperties::Fast);
        if (file.isNull() || file.tag() == nullptr) {
            ++totals.failed;
            return;
        }
        const TagLib::Tag& tag = *file.tag();
        // 8-bit text, as the plug-ins give it.
        totals.textBytes += tag.title().to8Bit(false).size() + tag.artist().to8Bit(false).size() +
                            tag.album().to8Bit(false).size() + tag.comment().to8Bit(false).size() +
                            tag.genre().to8Bit(false).size() + 7 + tag.year() + tag.track() +
                            (file.file()->length() > 0);
        if (const TagLib::AudioProperties* properties = file.audioProperties()) {
            totals.seconds += static_cast<uint64_t>(properties->lengthInSeconds());
        }
    }
};

}  // namespace

std::unique_ptr<Reader> MakeTagLibReader() { return std::make_unique<TagLibReader>(); }

}  // namespace cvx::bench

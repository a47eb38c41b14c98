#include <taglib/mp4file.h>

#include "bench/raw_record.h"

namespace cvx::bench {

namespace {

// TagLib's MP4::File over the path with its audio properties, the five text
// items' UTF-8 joined raw, ©day's last value and trkn's number.
class Mp4FloorReader : public Reader {
public:
    void Read(const char* path, PassTotals& totals) override {
        RawRecord record;
        record.fileSize = ProbeSize(path);
        const TagLib::MP4::File file(path, true);
        if (!file.isValid()) {
            ++totals.files;
            ++totals.failed;
            return;
        }
        if (const TagLib::MP4::Properties* properties = file.audioProperties()) {
            record.length = properties->lengthInMilliseconds() / 1000;
        }
        const TagLib::MP4::ItemMap& items = file.tag()->itemMap();
        const std::pair<const char*, char*> texts[] = {{"\251nam", record.title},   {"\251ART", record.artist},
                                                       {"\251alb", record.album},   {"\251cmt", record.comment},
                                                       {"\251gen", record.genre}};
        for (const auto& [name, field] : texts) {
            const auto item = items.find(TagLib::String(name, TagLib::String::Latin1));
            if (item == items.end()) continue;
            for (const TagLib::String& value : item->second.toStringList()) {
                const std::string utf8 = value.to8Bit(true);
                AppendRaw(field, utf8.data(), utf8.size());
            }
        }
        const auto day = items.find(TagLib::String("\251day", TagLib::String::Latin1));
        if (day != items.end() && !day->second.toStringList().isEmpty()) {
            record.year = std::atoi(day->second.toStringList().back().toCString(true));
        }
        const auto track = items.find("trkn");
        if (track != items.end()) record.track = track->second.toIntPair().first;
        record.AddTo(totals);
    }
};

}  // namespace

std::unique_ptr<Reader> MakeMp4FloorReader() { return std::make_unique<Mp4FloorReader>(); }

}  // namespace cvx::bench

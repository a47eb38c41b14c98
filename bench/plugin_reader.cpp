#include <cstring>

#include "bench/readers.h"
#include "frame/tag_record.h"

namespace cvx::bench {

using namespace cvx::host;
namespace {

class PluginReader : public Reader {
public:
    explicit PluginReader(const PluginLibrary& plugin) : plugin_(plugin) {}

    void Read(const char* path, PassTotals& totals) override {
        const FileInfoPtr info = plugin_.CreateFileInfo(0);
        ++totals.files;
        if (info->Open(path) != 0) {
            ++totals.failed;
            return;
        }
        // What a host asks for, into buffers of the sizes the interface fixes.
        char text[kTagFieldSize];
        uint64_t bytes = static_cast<uint64_t>(info->GetFileSize() > 0);
        bytes += info->GetFileName(text);
        bytes += info->GetLengthText(text);
        bytes += info->GetTitle(text);
        bytes += info->GetArtist(text);
        bytes += info->GetAlbum(text);
        bytes += info->GetComment(text);
        bytes += info->GetGenre(text);
        totals.textBytes += bytes + static_cast<uint64_t>(info->GetYear() + info->GetTrack());
        totals.seconds += static_cast<uint64_t>(info->GetLength());
    }

private:
    const PluginLibrary& plugin_;
};

}  // namespace

std::unique_ptr<Reader> MakePluginReader(const PluginLibrary& plugin) { return std::make_unique<PluginReader>(plugin); }

}  // namespace cvx::bench

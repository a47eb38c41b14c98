#include "tests/support/prescribed_readers.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

#include "frame/open_file_for_record.h"
#include "ogg/opus_in_ogg.h"
#include "ogg/read_limits.h"
#include "ogg/vorbis_file.h"
#include "ogg/vorbis_file_info.h"
#include "opus/opus_file_info.h"

namespace cvx::testing {

namespace {

// stdio's own calls, as ov_open makes them, counted.
struct CountedFile {
    std::FILE* file;
    int64_t bytesRead = 0;
    int64_t seeks = 0;
};

size_t ReadCounted(void* destination, size_t size, size_t count, void* source) {
    auto& in = *static_cast<CountedFile*>(source);
    const size_t read = std::fread(destination, size, count, in.file);
    in.bytesRead += static_cast<int64_t>(read * size);
    return read;
}

int SeekCounted(void* source, ogg_int64_t offset, int whence) {
    auto& in = *static_cast<CountedFile*>(source);
    ++in.seeks;
    return fseeko(in.file, static_cast<off_t>(offset), whence);
}

long TellCounted(void* source) { return static_cast<long>(ftello(static_cast<CountedFile*>(source)->file)); }

// Whether the first page libogg finds in the file, beginning within
// libvorbisfile's first chunk, begins an Opus stream: libogg fed the chunk
// and the longest page after it.
bool FirstPageBeginsOpus(std::FILE* file) {
    constexpr long kLongestPage = 27 + 255 + 255 * 255;
    const long feed = static_cast<long>(ogg::kVorbisfileChunkSize) + kLongestPage;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    std::rewind(file);
    char* buffer = ogg_sync_buffer(&sync, feed);
    ogg_sync_wrote(&sync, static_cast<long>(std::fread(buffer, 1, static_cast<size_t>(feed), file)));
    ogg_page page;
    int64_t offset = 0;
    bool opus = false;
    for (long step; (step = ogg_sync_pageseek(&sync, &page)) != 0;) {
        if (step > 0) {
            opus = offset < ogg::kVorbisfileChunkSize && ogg_page_bos(&page) && page.body_len >= 8 &&
                   std::memcmp(page.body, "OpusHead", 8) == 0;
            break;
        }
        offset -= step;
    }
    ogg_sync_clear(&sync);
    return opus;
}

}  // namespace

int32_t CVX_THISCALL PrescribedVorbisFileInfo::Open(const char* path) noexcept {
    bytesRead_ = seeks_ = 0;
    const FilePtr file = OpenFileForRecord(record_, path);
    if (!file) return 1;
    CountedFile in{file.get()};
    OggVorbis_File vorbis;
    const ov_callbacks callbacks = {ReadCounted, SeekCounted, nullptr, TellCounted};
    const int result = ov_open_callbacks(&in, &vorbis, nullptr, 0, callbacks);
    const bool opened = result == 0;
    if (opened) {
        ogg::TakeLengthAndTags(record_, vorbis);
        ov_clear(&vorbis);
    }
    bytesRead_ = in.bytesRead;
    seeks_ = in.seeks;
    if (!opened && result == OV_ENOTVORBIS && FirstPageBeginsOpus(file.get())) {
        PrescribedOpusFileInfo opus;
        const int32_t opusResult = opus.Open(path);
        record_ = opus.record();
        return opusResult;
    }
    return opened ? 0 : 1;
}

int32_t CVX_THISCALL VorbisRoadsFileInfo::Open(const char* path) noexcept {
    reading_ = ogg::VorbisReading::kRefused;
    int64_t sizeBytes = 0;
    const FilePtr file = OpenFileForRecord(record_, path, &sizeBytes);
    if (!file) return 1;
    ogg::VorbisFile vorbis;
    const bool opened = vorbis.Open(file.get(), sizeBytes);
    reading_ = vorbis.reading();
    if (!opened && vorbis.openResult() == OV_ENOTVORBIS &&
        ogg::FirstStreamIsOpus(file.get(), sizeBytes, ogg::FileWindows(file.get(), sizeBytes))) {
        return opus::ReadOpusFile(record_, file.get(), sizeBytes);
    }
    if (!opened) return 1;
    ogg::TakeLengthAndTags(record_, vorbis.get());
    return 0;
}

}  // namespace cvx::testing

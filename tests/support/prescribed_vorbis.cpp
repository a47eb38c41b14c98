#include "tests/support/prescribed_readers.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

#include "frame/open_file_for_record.h"
#include "ogg/vorbis_file.h"
#include "ogg/vorbis_file_info.h"

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

}  // namespace

int32_t CVX_THISCALL PrescribedVorbisFileInfo::Open(const char* path) noexcept {
    bytesRead_ = seeks_ = 0;
    const FilePtr file = OpenFileForRecord(record_, path);
    if (!file) return 1;
    CountedFile in{file.get()};
    OggVorbis_File vorbis;
    const ov_callbacks callbacks = {ReadCounted, SeekCounted, nullptr, TellCounted};
    const bool opened = ov_open_callbacks(&in, &vorbis, nullptr, 0, callbacks) == 0;
    if (opened) {
        ogg::TakeLengthAndTags(record_, vorbis);
        ov_clear(&vorbis);
    }
    bytesRead_ = in.bytesRead;
    seeks_ = in.seeks;
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
    if (!opened) return 1;
    ogg::TakeLengthAndTags(record_, vorbis.get());
    return 0;
}

}  // namespace cvx::testing

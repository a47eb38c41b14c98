// Readers that make exactly the library calls the plug-ins were specified
// with, on the file as it is, and turn the answers into a record by the
// plug-ins' own rules: what each plug-in must report for every file. The
// tests and the fuzz targets compare the plug-ins with them.
#pragma once

#include <cstdint>

#include "frame/record_file_info.h"
#include "ogg/vorbis_file.h"

namespace cvx::testing {

// fopen, ov_open_callbacks with stdio's own calls, ov_time_total(-1),
// ov_comment(-1), ov_clear; the size probe first; where libvorbisfile
// refuses the file as not Vorbis and the first page libogg finds in its
// first chunk begins an Opus stream, PrescribedOpusFileInfo's record. It
// also counts what libvorbisfile's reading costs, as the OGG reader counts
// it.
class PrescribedVorbisFileInfo : public RecordFileInfo {
public:
    int32_t CVX_THISCALL Open(const char* path) noexcept override;

    // Of the last Open: bytes libvorbisfile read, and how often it sought.
    int64_t bytesRead() const { return bytesRead_; }
    int64_t seeks() const { return seeks_; }

private:
    int64_t bytesRead_ = 0;
    int64_t seeks_ = 0;
};

// The OGG reader without its one-link reading: libvorbisfile's roads alone
// (ogg/vorbis_file.h), through the same record rules, and Opus streams as
// the reader reads them; what the reader does
// with every file its one-link reading leaves, tried on any file.
class VorbisRoadsFileInfo : public RecordFileInfo {
public:
    int32_t CVX_THISCALL Open(const char* path) noexcept override;

    // The road the last Open took.
    ogg::VorbisReading reading() const { return reading_; }

private:
    ogg::VorbisReading reading_ = ogg::VorbisReading::kRefused;
};

// The size probe, FLAC__metadata_get_streaminfo, the simple iterator over
// every block with each VORBIS_COMMENT block copied, the ID3v1 fallback.
class PrescribedFlacFileInfo : public RecordFileInfo {
public:
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// The size probe, op_open_file, op_pcm_total(-1), op_tags(0), op_free.
class PrescribedOpusFileInfo : public RecordFileInfo {
public:
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// The size probe, TagLib::MP4::File over the path with audio properties,
// lengthInMilliseconds() / 1000, the items by m4a::TakeItems; refused where
// TagLib's tree (MP4::Atoms) holds a box ending past 2 GiB, which TagLib
// cannot count in the Windows build. Without properties the length is 0:
// for the files whose properties TagLib cannot compute without undefined
// behaviour.
class PrescribedMp4FileInfo : public RecordFileInfo {
public:
    explicit PrescribedMp4FileInfo(bool readProperties = true) : readProperties_(readProperties) {}
    int32_t CVX_THISCALL Open(const char* path) noexcept override;

private:
    bool readProperties_;
};

// Every field of two records alike, texts up to their NUL.
bool SameFields(const TagRecord& a, const TagRecord& b);

}  // namespace cvx::testing

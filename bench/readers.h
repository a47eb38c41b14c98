// The ways the benchmark reads one file: a plug-in through its binary
// interface, the bare library calls the plug-ins were specified with (the
// call floor), the least input any reader needs (the I/O floor) and TagLib.
#pragma once

#include <cstdint>
#include <memory>

#include "tools/host/plugin_library.h"

namespace cvx::bench {

// Summed over a pass, so no work can be optimised away, and printed so the
// readers can be seen to agree on what they read.
struct PassTotals {
    uint64_t files = 0, failed = 0, seconds = 0, textBytes = 0;
};

class Reader {
public:
    virtual ~Reader() = default;
    virtual void Read(const char* path, PassTotals& totals) = 0;
};

// CreateFileInfo(0), Open, every getter into fixed buffers, destruction.
std::unique_ptr<Reader> MakePluginReader(const host::PluginLibrary& plugin);
// ov_fopen (ov_open on a stdio stream with stdio's own buffering),
// ov_time_total, ov_comment, ov_clear; the size probe; the seven comments
// copied as raw bytes.
std::unique_ptr<Reader> MakeVorbisFloorReader();
// FLAC__metadata_get_streaminfo, the simple iterator over every
// VORBIS_COMMENT block, the ID3v1 tag when title, artist or album is missing;
// the size probe; values copied as raw bytes.
std::unique_ptr<Reader> MakeFlacFloorReader();
// op_open_file, op_pcm_total(-1), op_tags(0), op_free; the size probe;
// values copied as raw bytes.
std::unique_ptr<Reader> MakeOpusFloorReader();
// TagLib::MP4::File with audio properties, lengthInMilliseconds() / 1000,
// the seven items; the size probe; values copied as raw UTF-8.
std::unique_ptr<Reader> MakeMp4FloorReader();
// open, read the first 64 KiB, read the last 128 bytes, close: what a
// reader of the metadata at the start and the ID3v1 tag at the end cannot
// do without.
std::unique_ptr<Reader> MakeIoFloorReader();
// TagLib's FileRef with its fast audio properties: length, size and the
// seven fields as 8-bit text.
std::unique_ptr<Reader> MakeTagLibReader();

}  // namespace cvx::bench

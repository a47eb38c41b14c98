// Readers that make exactly the library calls the plug-ins were specified
// with, on the file as it is, and turn the answers into a record by the
// plug-ins' own rules: what each plug-in must report for every file. The
// tests and the fuzz targets compare the plug-ins with them.
#pragma once

#include <cstdint>

#include "frame/record_file_info.h"

namespace cvx::testing {

// The size probe, FLAC__metadata_get_streaminfo, the simple iterator over
// every block with each VORBIS_COMMENT block copied, the ID3v1 fallback.
class PrescribedFlacFileInfo : public RecordFileInfo {
public:
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// Every field of two records alike, texts up to their NUL.
bool SameFields(const TagRecord& a, const TagRecord& b);

}  // namespace cvx::testing

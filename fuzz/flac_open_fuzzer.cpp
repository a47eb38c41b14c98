#include "flac/flac_file_info.h"
#include "fuzz/open_fuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOpen<FlacFileInfo>(data, size);
}

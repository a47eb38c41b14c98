#include "flac/platform/libflac_path.h"

// libFLAC passes the name to fopen unchanged.
const char* LibFlacFileName(const char* path, LibFlacPath&) { return path; }

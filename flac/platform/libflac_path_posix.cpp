#include "flac/platform/libflac_path.h"

namespace cvx::flac {

// libFLAC passes the name to fopen unchanged.
const char* LibFlacFileName(const char* path, LibFlacPath&) { return path; }

}  // namespace cvx::flac

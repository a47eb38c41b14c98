#include "flac/genres.h"

#include <cstring>

namespace cvx::flac {

void GenreName(char* dst, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= kGenreNames.size()) {
        dst[0] = '\0';
        return;
    }
    std::strcpy(dst, kGenreNames[static_cast<size_t>(index)]);
}

}  // namespace cvx::flac

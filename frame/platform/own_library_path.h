// The path of this plug-in's own library file, as the loader reports it.
#pragma once

#include <optional>
#include <string>

namespace cvx {

// The full path of the library file this code was loaded from, or nothing
// when the loader cannot tell.
std::optional<std::string> OwnLibraryPath();

}  // namespace cvx

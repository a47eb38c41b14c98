// Comparing and printing what a plug-in reported, for test assertions.
#pragma once

#include <ostream>

#include "tools/host/plugin_library.h"

// In the namespace of Reading, where GoogleTest's EXPECT_EQ finds them.
namespace cvx::host {

bool operator==(const Reading& a, const Reading& b);
void PrintTo(const Reading& reading, std::ostream* out);

}  // namespace cvx::host

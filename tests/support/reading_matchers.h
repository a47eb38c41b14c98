// Comparing and printing what a plug-in reported, for test assertions.
#pragma once

#include <ostream>

#include "tools/host/plugin_library.h"

bool operator==(const Reading& a, const Reading& b);
void PrintTo(const Reading& reading, std::ostream* out);

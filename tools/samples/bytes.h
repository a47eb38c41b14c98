// The contents of a whole file, built in memory.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

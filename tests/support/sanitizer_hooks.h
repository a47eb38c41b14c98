// What the tests and fuzz targets ask of the sanitizers' runtime. A hook
// (__asan_default_options, __lsan_default_suppressions) is read at start-up
// from the program itself: SANITIZER_HOOK keeps it exported and linked in.
#pragma once

#include <cstddef>

#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))

// AddressSanitizer's count of the bytes allocated and not yet freed.
extern "C" size_t __sanitizer_get_current_allocated_bytes();

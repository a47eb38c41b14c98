// One plug-in's whole Open on arbitrary file contents: it returns 0 or 1,
// leaves every field terminated, and closes every descriptor it opened.
// `checkMore(reader, path, size, result)` adds a target's own checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/check.h"
#include "fuzz/memory_file.h"
#include "tests/support/sanitizer_hooks.h"

namespace cvx::fuzz {

struct NoMoreChecks {
    template <typename Reader>
    void operator()(const Reader&, const char*, size_t, int32_t) const {}
};

template <typename Reader, typename MoreChecks = NoMoreChecks>
int FuzzOpen(const uint8_t* data, size_t size, MoreChecks checkMore = {}) {
    static MemoryFile file;
    file.Replace(data, size);
    const int descriptors = host::CountOpenDescriptors();
    Reader reader;
    const int32_t result = reader.Open(file.path());
    CHECK(result == 0 || result == 1);
    CHECK(host::CountOpenDescriptors() == descriptors);
    CHECK(std::strcmp(reader.record().path, file.path()) == 0);
    CHECK(reader.record().fileSize == static_cast<int32_t>(size));
    CheckRecordTerminated(reader.record());
    char text[kTagFieldSize];
    CHECK(reader.GetLengthText(text) <= 13);
    checkMore(reader, file.path(), size, result);
    return 0;
}

// The bytes `run` leaves allocated, by AddressSanitizer's count.
template <typename Run>
size_t BytesKeptBy(Run run) {
    const size_t before = __sanitizer_get_current_allocated_bytes();
    run();
    return __sanitizer_get_current_allocated_bytes() - before;
}

// A second reader's Open of `path` loses no more memory than the library
// lost on its own reading of it (`lostByLibrary`): whatever the library
// loses inside a failing open, the reader adds nothing of its own.
template <typename Reader>
void CheckLosesNoMoreThan(const char* path, size_t lostByLibrary) {
    Reader again;
    CHECK(BytesKeptBy([&] { again.Open(path); }) <= lostByLibrary);
}

}  // namespace cvx::fuzz

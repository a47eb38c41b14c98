// NarrowUtf8ToLatin1 on arbitrary bytes, with a capacity taken from the
// input: the output stays within capacity - 1 bytes and its NUL, and nothing
// past the capacity is touched.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/check.h"
#include "ogg/narrow_utf8_to_latin1.h"

namespace cvx::fuzz {

using namespace cvx::ogg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // -64 .. 1023: negative, zero, tiny and beyond the record's fields.
    const int32_t capacity = static_cast<int32_t>((data[0] | (data[1] << 8)) % 1088) - 64;
    const std::string source(reinterpret_cast<const char*>(data + 2), size - 2);  // NUL added by c_str

    constexpr char kUntouched = '\x5A';
    constexpr size_t kGuard = 16;
    const size_t room = capacity > 0 ? static_cast<size_t>(capacity) : 0;
    std::vector<char> destination(room + kGuard, kUntouched);
    NarrowUtf8ToLatin1(source.c_str(), destination.data(), capacity);

    for (size_t i = room; i < destination.size(); ++i) CHECK(destination[i] == kUntouched);
    if (room > 0) {
        const size_t length = strnlen(destination.data(), room);
        CHECK(length <= room - 1);
    }
    return 0;
}

}  // namespace cvx::fuzz

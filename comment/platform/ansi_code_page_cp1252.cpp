// The ANSI code page here is Windows-1252. A character it lacks becomes its
// best-fit equivalent from Windows' published table (U+0100 -> 'A'), or '?'
// where the table has none, as WideCharToMultiByte does without flags.
#include <algorithm>
#include <iterator>

#include "comment/platform/ansi_code_page.h"

namespace cvx::comment {

namespace {

struct BestFit {
    uint16_t codePoint;
    uint8_t byte;
};

#include "comment/platform/bestfit1252.inc"

constexpr char kDefaultChar = '?';

// Whether code points below U+0100 have a byte, looked up directly.
struct Below0100 {
    bool unmapped[0x100] = {};
};
constexpr Below0100 MakeBelow0100() {
    Below0100 table;
    for (const uint16_t codePoint : kUnmappedBelow0100) table.unmapped[codePoint] = true;
    return table;
}
constexpr Below0100 kBelow0100 = MakeBelow0100();

char ToCodePage1252(uint16_t unit) {
    if (unit < 0x100) return kBelow0100.unmapped[unit] ? kDefaultChar : static_cast<char>(unit);
    // Lone surrogate units are in no row, so they become '?' too.
    const auto row = std::lower_bound(std::begin(kBestFitFrom0100), std::end(kBestFitFrom0100), unit,
                                      [](const BestFit& entry, uint16_t value) { return entry.codePoint < value; });
    if (row == std::end(kBestFitFrom0100) || row->codePoint != unit) return kDefaultChar;
    return static_cast<char>(row->byte);
}

}  // namespace

size_t ConvertToAnsi(const uint16_t* units, char* out, size_t capacity) {
    if (capacity <= 1) return 0;  // no room for a character and the NUL
    for (size_t i = 0; i + 1 < capacity; ++i) {
        out[i] = ToCodePage1252(units[i]);
        if (units[i] == 0) return i + 1;
    }
    out[capacity - 1] = '\0';  // one byte per unit: the longest prefix that fits
    return capacity;
}

size_t WholeAnsiCharacters(const char*, size_t length, size_t room) { return std::min(length, room); }

}  // namespace cvx::comment

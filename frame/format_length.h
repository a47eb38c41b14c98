#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cvx {

// The text of a playing time, held in place so that a getter that may not
// throw can build it: at most 12 characters and the NUL.
struct LengthText {
    static constexpr size_t kMostCharacters = 12;
    char text[kMostCharacters + 1] = {};
    size_t size = 0;

    void Append(char c) { text[size++] = c; }
    std::string_view view() const { return {text, size}; }
};

// Playing time as "mm:ss", or "hh:mm:ss" from one hour on. Hours grow
// without a day field ("100:00:00"); at most 12 characters for any input.
// Deliberate: a negative length gives minus signs in every part, as the
// host's own formatting does. Pinned by
// FormatLength.NegativeSecondsStayWithinTwelveCharacters.
LengthText FormatLength(int32_t seconds) noexcept;

}  // namespace cvx

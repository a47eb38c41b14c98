#pragma once

#include <cstdint>
#include <string>

namespace cvx {

// Playing time as "mm:ss", or "hh:mm:ss" from one hour on. Hours grow
// without a day field ("100:00:00"); at most 12 characters for any input.
// Deliberate: a negative length gives minus signs in every part, as the
// host's own formatting does. Pinned by
// FormatLength.NegativeSecondsStayWithinTwelveCharacters.
std::string FormatLength(int32_t seconds);

}  // namespace cvx

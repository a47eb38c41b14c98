#pragma once

#include <cstdint>

namespace cvx::comment {

// Appends a UTF-8 value, converted to the ANSI code page, to the text in
// `field`, after ", " when the field already holds text; this is how repeated
// comment names end up in one field. At most min(length, capacity - 1) bytes
// of `value` are read. The field never holds more than capacity - 1 bytes:
// separator and value are cut at that limit, so a full field takes nothing
// more. A value that decodes or converts to nothing leaves the field as it
// was, separator included. Capacities above the record's field size count
// as that size.
void AppendTagValue(char* field, const uint8_t* value, uint32_t length, uint32_t capacity);

}  // namespace cvx::comment

#include "comment/ansi_comment.h"

#include <cstdint>
#include <cstring>

#include "comment/append_tag_value.h"
#include "frame/comment_names.h"
#include "frame/field_sizes.h"
#include "frame/leading_number.h"

namespace cvx::comment {

void TakeAnsiComment(TagRecord& record, const char* text, size_t length) {
    if (text == nullptr || length == 0 || text[0] == '\0') return;
    // The first '=', unless a NUL comes before it; values run long (lyrics,
    // pictures), names are short, so only the name is searched for a NUL.
    const char* equals = static_cast<const char*>(std::memchr(text, '=', length));
    if (equals == nullptr || std::memchr(text, '\0', static_cast<size_t>(equals - text)) != nullptr) return;

    const size_t nameLength = static_cast<size_t>(equals - text);
    const size_t valueLength = length - nameLength - 1;
    const char* value = equals + 1;
    if (valueLength == 0 || value[0] == '\0') return;

    CommentTarget target;
    if (!FindCommentTarget(text, nameLength, target)) return;
    if (int32_t* number = NumberFieldOf(record, target)) {
        *number = LeadingDecimalNumber(value, valueLength);  // the last one wins
    } else {
        AppendTagValue(TextFieldOf(record, target), reinterpret_cast<const uint8_t*>(value),
                       static_cast<uint32_t>(valueLength), kTagFieldSize);
    }
}

}  // namespace cvx::comment

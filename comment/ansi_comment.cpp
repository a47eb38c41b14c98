#include "comment/ansi_comment.h"

#include <cstdint>

#include "comment/append_tag_value.h"
#include "comment/comment_names.h"
#include "frame/field_sizes.h"
#include "frame/leading_number.h"

namespace cvx::comment {

void TakeAnsiValue(TagRecord& record, CommentTarget target, const char* value, size_t length) {
    if (length == 0 || value[0] == '\0') return;
    if (int32_t* number = NumberFieldOf(record, target)) {
        *number = LeadingDecimalNumber(value, length);  // the last one wins
    } else {
        AppendTagValue(TextFieldOf(record, target), reinterpret_cast<const uint8_t*>(value),
                       static_cast<uint32_t>(length), kTagFieldSize);
    }
}

void TakeAnsiComment(TagRecord& record, const char* text, size_t length) {
    CommentValue split;
    if (SplitComment(text, length, split)) TakeAnsiValue(record, split.target, split.value, split.length);
}

}  // namespace cvx::comment

#include "comment/ansi_comment.h"

#include <cstdint>

#include "comment/append_tag_value.h"
#include "comment/comment_names.h"
#include "frame/field_sizes.h"
#include "frame/leading_number.h"

namespace cvx::comment {

void TakeAnsiComment(TagRecord& record, const char* text, size_t length) {
    CommentValue split;
    if (!SplitComment(text, length, split) || split.length == 0 || split.value[0] == '\0') return;
    if (int32_t* number = NumberFieldOf(record, split.target)) {
        *number = LeadingDecimalNumber(split.value, split.length);  // the last one wins
    } else {
        AppendTagValue(TextFieldOf(record, split.target), reinterpret_cast<const uint8_t*>(split.value),
                       static_cast<uint32_t>(split.length), kTagFieldSize);
    }
}

}  // namespace cvx::comment

#include "comment/comment_names.h"

#include <cstring>

namespace cvx::comment {

namespace {

struct CommentName {
    const char* name;
    size_t length;
    CommentTarget target;
};

constexpr CommentName kCommentNames[] = {
    {"DATE", 4, CommentTarget::kYear},       {"TITLE", 5, CommentTarget::kTitle},
    {"ARTIST", 6, CommentTarget::kArtist},   {"ALBUM", 5, CommentTarget::kAlbum},
    {"COMMENT", 7, CommentTarget::kComment}, {"GENRE", 5, CommentTarget::kGenre},
    {"TRACKNUMBER", 11, CommentTarget::kTrack},
};

// The names above are upper-case letters only, and clearing bit 5 maps
// exactly 'x' and 'X' to 'X': a byte matches a name letter this way if and
// only if it is that letter in either case.
bool EqualsLettersIgnoringCase(const char* text, const char* upperCaseLetters, size_t length) {
    constexpr unsigned char kCaseBit = 0x20;
    for (size_t i = 0; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & ~kCaseBit) != static_cast<unsigned char>(upperCaseLetters[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool FindCommentTarget(const char* name, size_t length, CommentTarget& target) {
    constexpr size_t kShortestName = 4, kLongestName = 11;  // DATE, TRACKNUMBER
    if (length < kShortestName || length > kLongestName) return false;  // REPLAYGAIN_*, and the like
    for (const CommentName& candidate : kCommentNames) {
        if (candidate.length == length && EqualsLettersIgnoringCase(name, candidate.name, length)) {
            target = candidate.target;
            return true;
        }
    }
    return false;
}

char* TextFieldOf(TagRecord& record, CommentTarget target) {
    switch (target) {
        case CommentTarget::kTitle: return record.title;
        case CommentTarget::kArtist: return record.artist;
        case CommentTarget::kAlbum: return record.album;
        case CommentTarget::kComment: return record.comment;
        case CommentTarget::kGenre: return record.genre;
        case CommentTarget::kYear:
        case CommentTarget::kTrack: break;
    }
    return nullptr;
}

int32_t* NumberFieldOf(TagRecord& record, CommentTarget target) {
    switch (target) {
        case CommentTarget::kYear: return &record.year;
        case CommentTarget::kTrack: return &record.track;
        default: return nullptr;
    }
}

bool SplitComment(const char* text, size_t length, CommentValue& split) {
    if (text == nullptr) return false;
    const char* equals = static_cast<const char*>(std::memchr(text, '=', length));
    if (equals == nullptr) return false;
    const size_t nameLength = static_cast<size_t>(equals - text);
    if (std::memchr(text, '\0', nameLength) != nullptr) return false;
    if (!FindCommentTarget(text, nameLength, split.target)) return false;
    split.value = equals + 1;
    split.length = length - nameLength - 1;
    return true;
}

}  // namespace cvx::comment

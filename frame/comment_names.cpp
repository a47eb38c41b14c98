#include "frame/comment_names.h"

#include <cstring>

#include "frame/ascii.h"

namespace {

struct CommentName {
    const char* name;
    CommentTarget target;
};

constexpr CommentName kCommentNames[] = {
    {"DATE", CommentTarget::kYear},       {"TITLE", CommentTarget::kTitle},
    {"ARTIST", CommentTarget::kArtist},   {"ALBUM", CommentTarget::kAlbum},
    {"COMMENT", CommentTarget::kComment}, {"GENRE", CommentTarget::kGenre},
    {"TRACKNUMBER", CommentTarget::kTrack},
};

}  // namespace

bool FindCommentTarget(const char* name, size_t length, CommentTarget& target) {
    for (const CommentName& candidate : kCommentNames) {
        if (std::strlen(candidate.name) == length &&
            EqualsIgnoringAsciiCase(name, candidate.name, length)) {
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

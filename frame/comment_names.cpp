#include "frame/comment_names.h"

#include "frame/ascii.h"

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

}  // namespace

bool FindCommentTarget(const char* name, size_t length, CommentTarget& target) {
    for (const CommentName& candidate : kCommentNames) {
        if (candidate.length == length &&
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

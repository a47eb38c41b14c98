#include "m4a/mp4_file_info.h"

#include <taglib/mp4file.h>

#include "comment/ansi_comment.h"
#include "frame/open_file_for_record.h"
#include "m4a/atom_tree.h"
#include "m4a/file_stream.h"

namespace cvx::m4a {

namespace {

using comment::CommentTarget;

struct ItemTarget {
    const char* name;  // Latin-1, as TagLib keys the items
    CommentTarget target;
};

constexpr ItemTarget kItemTargets[] = {
    {"\251nam", CommentTarget::kTitle},   {"\251ART", CommentTarget::kArtist}, {"\251alb", CommentTarget::kAlbum},
    {"\251cmt", CommentTarget::kComment}, {"\251gen", CommentTarget::kGenre},  {"\251day", CommentTarget::kYear},
};
constexpr char kTrackItem[] = "trkn";

}  // namespace

void TakeItems(TagRecord& record, const TagLib::MP4::ItemMap& items) {
    for (const ItemTarget& wanted : kItemTargets) {
        const auto item = items.find(TagLib::String(wanted.name, TagLib::String::Latin1));
        if (item == items.end()) continue;
        for (const TagLib::String& value : item->second.toStringList()) {
            const std::string utf8 = value.to8Bit(true);
            comment::TakeAnsiValue(record, wanted.target, utf8.data(), utf8.size());
        }
    }
    const auto track = items.find(kTrackItem);
    if (track != items.end()) record.track = track->second.toIntPair().first;
}

int32_t CVX_THISCALL Mp4FileInfo::Open(const char* path) noexcept {
    int64_t sizeBytes = -1;
    const FilePtr file = OpenFileForRecord(record_, path, &sizeBytes);
    ClearTags(record_);
    record_.length = 0;
    // TagLib counts positions in long, 32 bits on Windows (m4a/atom_tree.h).
    if (!file || sizeBytes > kLongestTagLibCount) return 1;
    try {
        FileStream stream(file.get(), sizeBytes, path);
        const AtomTree tree = WalkAtomTree(stream);
        if (tree.verdict == TreeVerdict::kTooDeep || tree.verdict == TreeVerdict::kPastTwoGiB) return 1;
        const bool readProperties = tree.verdict == TreeVerdict::kTagLibReadsAll;
        TagLib::MP4::File mp4(&stream, readProperties);
        if (!mp4.isValid()) return 1;
        TagRecord read{};
        if (readProperties) {
            const TagLib::MP4::Properties* properties = mp4.audioProperties();
            const int milliseconds = properties ? properties->lengthInMilliseconds() : 0;
            read.length = milliseconds > 0 ? milliseconds / 1000 : 0;
        } else {
            read.length = WholeSeconds(tree.media);
        }
        if (const TagLib::MP4::Tag* tag = mp4.tag()) TakeItems(read, tag->itemMap());
        record_.length = read.length;
        CopyTags(record_, read);
        return 0;
    } catch (...) {
        return 1;
    }
}

}  // namespace cvx::m4a

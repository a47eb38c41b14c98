// The M4A reader: MP4 audio (AAC, ALAC) through TagLib's MP4 reader over the
// file the frame opened; its items converted to the ANSI code page as
// FLAC's comments are.
#pragma once

#include <taglib/mp4tag.h>

#include "frame/record_file_info.h"

namespace cvx::m4a {

class Mp4FileInfo : public RecordFileInfo {
public:
    // 0 when TagLib read the file as MP4, whether or not any item was
    // found; 1 otherwise. Every field but path and fileSize is emptied
    // before anything can fail, as FLAC and OPUS do. Files TagLib could not
    // read without undefined behaviour are refused or given a length of
    // ours (m4a/atom_tree.h); whatever TagLib or the allocator throws is a
    // refusal.
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// The items the record takes, each value by the rules of
// comment/ansi_comment.h as a Vorbis comment value: ©nam, ©ART, ©alb,
// ©cmt and ©gen (TagLib names a gnre number there) joined with ", "; ©day
// by its leading number, the last value winning; trkn's track number.
void TakeItems(TagRecord& record, const TagLib::MP4::ItemMap& items);

}  // namespace cvx::m4a

// The accessors shared by every plug-in: a FileInfo whose getters read a
// TagRecord. Each plug-in derives its reader from it and supplies Open.
#pragma once

#include "frame/file_info.h"
#include "frame/tag_record.h"

namespace cvx {

class RecordFileInfo : public FileInfo {
public:
    RecordFileInfo() : record_() {}

    int32_t CVX_THISCALL GetFileSize() noexcept override;
    int32_t CVX_THISCALL GetFileName(char* out) noexcept override;
    int32_t CVX_THISCALL GetLength() noexcept override;
    int32_t CVX_THISCALL GetLengthText(char* out) noexcept override;
    int32_t CVX_THISCALL GetTitle(char* out) noexcept override;
    int32_t CVX_THISCALL GetArtist(char* out) noexcept override;
    int32_t CVX_THISCALL GetAlbum(char* out) noexcept override;
    int32_t CVX_THISCALL GetComment(char* out) noexcept override;
    int32_t CVX_THISCALL GetGenre(char* out) noexcept override;
    int32_t CVX_THISCALL GetYear() noexcept override;
    int32_t CVX_THISCALL GetTrack() noexcept override;

    const TagRecord& record() const { return record_; }

protected:
    TagRecord record_;
};

}  // namespace cvx

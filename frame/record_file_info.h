// The accessors shared by both plug-ins: a FileInfo whose getters read a
// TagRecord. Each plug-in derives its reader from it and supplies Open.
#pragma once

#include "frame/file_info.h"
#include "frame/tag_record.h"

class RecordFileInfo : public FileInfo {
public:
    RecordFileInfo() : record_() {}

    int32_t GetFileSize() override;
    int32_t GetFileName(char* out) override;
    int32_t GetLength() override;
    int32_t GetLengthText(char* out) override;
    int32_t GetTitle(char* out) override;
    int32_t GetArtist(char* out) override;
    int32_t GetAlbum(char* out) override;
    int32_t GetComment(char* out) override;
    int32_t GetGenre(char* out) override;
    int32_t GetYear() override;
    int32_t GetTrack() override;

    const TagRecord& record() const { return record_; }

protected:
    TagRecord record_;
};

#include "frame/record_file_info.h"

#include <cstring>

#include "frame/format_length.h"

namespace cvx {

namespace {

// Copies a field's text and its NUL; returns the bytes copied.
int32_t CopyOut(char* out, const char* field, size_t fieldSize) {
    const size_t length = strnlen(field, fieldSize - 1);
    std::memcpy(out, field, length);
    out[length] = '\0';
    return static_cast<int32_t>(length + 1);
}

}  // namespace

int32_t CVX_THISCALL RecordFileInfo::GetFileSize() noexcept { return record_.fileSize; }

int32_t CVX_THISCALL RecordFileInfo::GetFileName(char* out) noexcept {
    return CopyOut(out, record_.path, sizeof record_.path);
}

int32_t CVX_THISCALL RecordFileInfo::GetLength() noexcept { return record_.length; }

int32_t CVX_THISCALL RecordFileInfo::GetLengthText(char* out) noexcept {
    // Through the virtual getter, so a derived class's notion of length counts.
    const LengthText length = FormatLength(GetLength());
    return CopyOut(out, length.text, length.size + 1);
}

int32_t CVX_THISCALL RecordFileInfo::GetTitle(char* out) noexcept {
    return CopyOut(out, record_.title, sizeof record_.title);
}

int32_t CVX_THISCALL RecordFileInfo::GetArtist(char* out) noexcept {
    return CopyOut(out, record_.artist, sizeof record_.artist);
}

int32_t CVX_THISCALL RecordFileInfo::GetAlbum(char* out) noexcept {
    return CopyOut(out, record_.album, sizeof record_.album);
}

int32_t CVX_THISCALL RecordFileInfo::GetComment(char* out) noexcept {
    return CopyOut(out, record_.comment, sizeof record_.comment);
}

int32_t CVX_THISCALL RecordFileInfo::GetGenre(char* out) noexcept {
    return CopyOut(out, record_.genre, sizeof record_.genre);
}

int32_t CVX_THISCALL RecordFileInfo::GetYear() noexcept { return record_.year; }

int32_t CVX_THISCALL RecordFileInfo::GetTrack() noexcept { return record_.track; }

}  // namespace cvx

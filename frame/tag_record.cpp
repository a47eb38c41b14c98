#include "frame/tag_record.h"

#include <cstring>

namespace cvx {

void ClearTags(TagRecord& record) {
    record.title[0] = '\0';
    record.artist[0] = '\0';
    record.album[0] = '\0';
    record.comment[0] = '\0';
    record.genre[0] = '\0';
    record.year = 0;
    record.track = 0;
}

void CopyTags(TagRecord& to, const TagRecord& from) {
    std::memcpy(to.title, from.title, sizeof to.title);
    std::memcpy(to.artist, from.artist, sizeof to.artist);
    std::memcpy(to.album, from.album, sizeof to.album);
    std::memcpy(to.comment, from.comment, sizeof to.comment);
    std::memcpy(to.genre, from.genre, sizeof to.genre);
    to.year = from.year;
    to.track = from.track;
}

bool StorePath(TagRecord& record, const char* path) {
    if (path == nullptr || std::strlen(path) >= kPathFieldSize) {
        record.path[0] = '\0';
        record.fileSize = -1;
        return false;
    }
    CopyToField(record.path, sizeof record.path, path);
    return true;
}

void CopyToField(char* field, size_t fieldSize, const char* text) {
    if (fieldSize == 0) return;
    const size_t length = strnlen(text, fieldSize - 1);
    std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace cvx

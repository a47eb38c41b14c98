#include "tools/host/plugin_library.h"

#include "frame/tag_record.h"

namespace cvx::host {

namespace {

void ReadFieldsInto(FileInfo& info, Reading& r) {
    char text[kTagFieldSize];
    r.fileSize = info.GetFileSize();
    info.GetFileName(text);
    r.fileName = text;
    r.length = info.GetLength();
    info.GetLengthText(text);
    r.lengthText = text;
    info.GetTitle(text);
    r.title = text;
    info.GetArtist(text);
    r.artist = text;
    info.GetAlbum(text);
    r.album = text;
    info.GetComment(text);
    r.comment = text;
    info.GetGenre(text);
    r.genre = text;
    r.year = info.GetYear();
    r.track = info.GetTrack();
}

}  // namespace

Reading ReadFields(FileInfo& info) {
    Reading r{};
    ReadFieldsInto(info, r);
    return r;
}

Reading OpenAndRead(FileInfo& info, const std::string& path) {
    Reading r{};
    OpenAndReadInto(info, path, r);
    return r;
}

void OpenAndReadInto(FileInfo& info, const std::string& path, Reading& r) {
    r.openResult = info.Open(path.c_str());
    ReadFieldsInto(info, r);
}

}  // namespace cvx::host

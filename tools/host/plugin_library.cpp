#include "tools/host/plugin_library.h"

Reading ReadFields(FileInfo& info) {
    Reading r{};
    char text[512];
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
    return r;
}

Reading OpenAndRead(FileInfo& info, const std::string& path) {
    const int32_t result = info.Open(path.c_str());
    Reading r = ReadFields(info);
    r.openResult = result;
    return r;
}

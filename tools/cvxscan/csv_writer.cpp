// CSV as RFC 4180 has it: a header line, CRLF line ends, and fields holding
// a comma, a quote or a line break enclosed in quotes with quotes doubled.
#include <string>
#include <vector>

#include "tools/cvxscan/catalogue_writer.h"

namespace {

std::string Quoted(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

class CsvWriter : public CatalogueWriter {
public:
    explicit CsvWriter(std::FILE* out) : out_(out) {
        WriteRecord({"path", "plugin", "file_name", "size", "length", "length_text", "title", "artist", "album",
                     "comment", "genre", "year", "track"});
    }

    void Write(const CatalogueEntry& entry) override {
        const DisplayFields text = ToDisplay(entry);
        const Reading& r = entry.reading;
        WriteRecord({text.path, entry.plugin, text.fileName, std::to_string(r.fileSize), std::to_string(r.length),
                     r.lengthText, text.title, text.artist, text.album, text.comment, text.genre,
                     std::to_string(r.year), std::to_string(r.track)});
    }

private:
    void WriteRecord(const std::vector<std::string>& fields) {
        std::string line;
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) line += ',';
            line += Quoted(fields[i]);
        }
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), out_);
    }

    std::FILE* out_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeCsvWriter(std::FILE* out) { return std::make_unique<CsvWriter>(out); }

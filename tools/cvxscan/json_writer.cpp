// JSON Lines: one object per file with every field the plug-in reported, and
// one per failure with the same keys, the reading's empty or null.
#include <cstdio>
#include <string>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/platform/file_system.h"

namespace cvxscan {

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

class JsonWriter : public CatalogueWriter {
public:
    explicit JsonWriter(Output& out) : out_(out) {}

    void Write(const CatalogueEntry& entry) override {
        DisplayFields& text = text_;
        ToDisplay(entry, text);
        const cvx::host::Reading& r = entry.reading;
        const std::string line =
            "{\"path\":" + JsonString(text.path) + ",\"plugin\":" + JsonString(entry.plugin) +
            ",\"file_name\":" + JsonString(text.fileName) + ",\"size\":" + std::to_string(r.fileSize) +
            ",\"length\":" + std::to_string(r.length) + ",\"length_text\":" + JsonString(r.lengthText) +
            ",\"title\":" + JsonString(text.title) + ",\"artist\":" + JsonString(text.artist) +
            ",\"album\":" + JsonString(text.album) + ",\"comment\":" + JsonString(text.comment) +
            ",\"genre\":" + JsonString(text.genre) + ",\"year\":" + std::to_string(r.year) +
            ",\"track\":" + std::to_string(r.track) + ",\"failure\":\"\"}\n";
        out_.Write(line);
    }

    void WriteFailure(const Failure& failure) override {
        std::string path, reason;
        AppendFileNameAsUtf8(path, failure.path);
        AppendFileNameAsUtf8(reason, failure.reason);
        out_.Write("{\"path\":" + JsonString(path) + ",\"plugin\":" + JsonString(failure.plugin) +
                   ",\"file_name\":\"\",\"size\":null,\"length\":null,\"length_text\":\"\",\"title\":\"\","
                   "\"artist\":\"\",\"album\":\"\",\"comment\":\"\",\"genre\":\"\",\"year\":null,\"track\":null,"
                   "\"failure\":" + JsonString(reason) + "}\n");
    }

private:
    Output& out_;
    DisplayFields text_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeJsonWriter(Output& out) { return std::make_unique<JsonWriter>(out); }

}  // namespace cvxscan

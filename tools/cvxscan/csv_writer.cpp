// CSV as RFC 4180 has it: a header line, CRLF line ends, and fields holding
// a comma, a quote or a line break enclosed in quotes with quotes doubled.
#include <charconv>
#include <initializer_list>
#include <string>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/text.h"

namespace cvxscan {

namespace {

bool NeedsQuotes(const std::string& field) { return field.find_first_of(",\"\r\n") != std::string::npos; }

// The field, enclosed in quotes with its quotes doubled when it needs them.
void AppendQuoted(std::string& out, const std::string& field) {
    if (!NeedsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendNumber(std::string& out, int32_t value) {
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Appends `raw` converted to UTF-8 by `convert`, quoted as needed, and the
// comma after it.
void AppendField(std::string& line, const std::string& raw, void (*convert)(std::string&, const std::string&),
                 std::string& scratch) {
    scratch.clear();
    convert(scratch, raw);
    AppendQuoted(line, scratch);
    line += ',';
}

void AsItIs(std::string& out, const std::string& text) { out += text; }

class CsvWriter : public CatalogueWriter {
public:
    CsvWriter(Output& out, bool byteOrderMark) : out_(out) {
        if (byteOrderMark) out_.Write("\xEF\xBB\xBF");
        out_.Write(
            "path,plugin,file_name,size,length,length_text,title,artist,album,comment,genre,year,track,failure\r\n");
    }

    // One line, in buffers that keep their capacity from file to file.
    void Write(const CatalogueEntry& entry) override {
        const cvx::host::Reading& r = entry.reading;
        line_.clear();
        AppendField(line_, entry.path, AppendFileNameAsUtf8, scratch_);
        AppendField(line_, entry.plugin, AsItIs, scratch_);
        AppendField(line_, r.fileName, AppendFileNameAsUtf8, scratch_);
        AppendNumber(line_, r.fileSize);
        line_ += ',';
        AppendNumber(line_, r.length);
        line_ += ',';
        AppendField(line_, r.lengthText, AsItIs, scratch_);
        for (const std::string* tag : {&r.title, &r.artist, &r.album, &r.comment, &r.genre}) {
            AppendField(line_, *tag, AppendWindows1252AsUtf8, scratch_);
        }
        AppendNumber(line_, r.year);
        line_ += ',';
        AppendNumber(line_, r.track);
        line_ += ",\r\n";
        out_.Write(line_);
    }

    // The path, the plug-in, eleven empty fields and the reason.
    void WriteFailure(const Failure& failure) override {
        line_.clear();
        AppendField(line_, failure.path, AppendFileNameAsUtf8, scratch_);
        AppendField(line_, failure.plugin, AsItIs, scratch_);
        line_.append(11, ',');
        AppendField(line_, failure.reason, AppendFileNameAsUtf8, scratch_);
        line_.back() = '\r';
        line_ += '\n';
        out_.Write(line_);
    }

private:
    Output& out_;
    std::string line_, scratch_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeCsvWriter(Output& out, bool byteOrderMark) {
    return std::make_unique<CsvWriter>(out, byteOrderMark);
}

}  // namespace cvxscan

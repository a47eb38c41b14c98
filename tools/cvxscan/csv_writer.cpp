// CSV as RFC 4180 has it: a header line, CRLF line ends, and fields holding
// a comma, a quote or a line break enclosed in quotes with quotes doubled.
// For a spreadsheet, text that would start a formula there starts with an
// apostrophe, which the spreadsheet shows as text; plain CSV stays byte for
// byte what the plug-ins gave, for scripts.
#include <charconv>
#include <string>
#include <string_view>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/record_fields.h"

namespace cvxscan {

namespace {

bool NeedsQuotes(const std::string& field) { return field.find_first_of(",\"\r\n") != std::string::npos; }

// What a spreadsheet takes as the start of a formula (or, for a tab or a
// carriage return, drops before one).
bool StartsFormula(const std::string& text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

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

class CsvWriter : public CatalogueWriter {
public:
    CsvWriter(Output& out, bool forSpreadsheet) : out_(out), forSpreadsheet_(forSpreadsheet) {
        if (forSpreadsheet) out_.Write("\xEF\xBB\xBF");
        std::string header;
        for (const RecordField& field : kRecordFields) header += std::string(header.empty() ? "" : ",") + field.name;
        out_.Write(header + "\r\n");
    }

    // One line, in buffers that keep their capacity from file to file.
    void Write(const CatalogueEntry& entry) override {
        line_.clear();
        for (const RecordField& field : kRecordFields) {
            if (field.kind == FieldKind::kNumber) {
                AppendNumber(line_, field.number(entry));
            } else if (const std::string* text = field.text(entry)) {
                AppendText(field.kind, *text);
            }
            line_ += ',';
        }
        EndLine();
    }

    // The failure's fields; the reading's fields empty.
    void WriteFailure(const Failure& failure) override {
        line_.clear();
        for (const RecordField& field : kRecordFields) {
            if (const std::string* text = field.ofFailure(failure)) AppendText(field.kind, *text);
            line_ += ',';
        }
        EndLine();
    }

private:
    // `raw` converted to UTF-8 as the field's kind says, quoted as needed.
    void AppendText(FieldKind kind, const std::string& raw) {
        scratch_.clear();
        AppendFieldText(scratch_, kind, raw);
        if (forSpreadsheet_ && StartsFormula(scratch_)) scratch_.insert(scratch_.begin(), '\'');
        AppendQuoted(line_, scratch_);
    }

    // The last field's comma becomes the line's end.
    void EndLine() {
        line_.back() = '\r';
        line_ += '\n';
        out_.Write(line_);
    }

    Output& out_;
    const bool forSpreadsheet_;
    std::string line_, scratch_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeCsvWriter(Output& out, bool byteOrderMark) {
    return std::make_unique<CsvWriter>(out, byteOrderMark);
}

}  // namespace cvxscan

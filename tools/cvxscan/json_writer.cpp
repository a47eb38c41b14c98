// JSON Lines: one object per file with every field the plug-in reported, and
// one per failure with the same keys, the reading's empty or null.
#include <cstdio>
#include <string>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/record_fields.h"

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
        line_ = "{";
        for (const RecordField& field : kRecordFields) {
            Key(field);
            if (field.kind == FieldKind::kNumber) {
                line_ += std::to_string(field.number(entry));
            } else {
                const std::string* text = field.text(entry);
                Text(field.kind, text != nullptr ? *text : std::string());
            }
        }
        EndLine();
    }

    // The failure's fields; the reading's texts empty, its numbers null.
    void WriteFailure(const Failure& failure) override {
        line_ = "{";
        for (const RecordField& field : kRecordFields) {
            Key(field);
            const std::string* text = field.ofFailure(failure);
            if (text == nullptr && field.kind == FieldKind::kNumber) {
                line_ += "null";
            } else {
                Text(field.kind, text != nullptr ? *text : std::string());
            }
        }
        EndLine();
    }

private:
    void Key(const RecordField& field) {
        if (line_.size() > 1) line_ += ',';
        line_ += '"';
        line_ += field.name;
        line_ += "\":";
    }

    void Text(FieldKind kind, const std::string& raw) {
        scratch_.clear();
        AppendFieldText(scratch_, kind, raw);
        line_ += JsonString(scratch_);
    }

    void EndLine() {
        line_ += "}\n";
        out_.Write(line_);
    }

    Output& out_;
    std::string line_, scratch_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeJsonWriter(Output& out) { return std::make_unique<JsonWriter>(out); }

}  // namespace cvxscan

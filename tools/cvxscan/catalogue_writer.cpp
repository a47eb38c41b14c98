#include "tools/cvxscan/catalogue_writer.h"

#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/fit_text.h"
#include "tools/cvxscan/utf8_text.h"

namespace cvxscan {

std::unique_ptr<CatalogueWriter> MakeCatalogueWriter(OutputFormat format, Output& out, const WriterSettings& settings) {
    switch (format) {
        case OutputFormat::kTable: return MakeTableWriter(out, settings.columns);
        case OutputFormat::kCsv: return MakeCsvWriter(out, settings.byteOrderMark);
        case OutputFormat::kJson: return MakeJsonWriter(out);
    }
    return nullptr;
}

void ToDisplay(const CatalogueEntry& entry, DisplayFields& text) {
    const cvx::host::Reading& r = entry.reading;
    const auto name = [](std::string& out, const std::string& raw) {
        out.clear();
        AppendValidUtf8(out, raw);
    };
    const auto tag = [](std::string& out, const std::string& raw) {
        out.clear();
        AppendWindows1252AsUtf8(out, raw);
    };
    name(text.path, entry.path);
    text.fileName.clear();
    AppendHostNameAsUtf8(text.fileName, r.fileName);
    tag(text.title, r.title);
    tag(text.artist, r.artist);
    tag(text.album, r.album);
    tag(text.comment, r.comment);
    tag(text.genre, r.genre);
}

}  // namespace cvxscan

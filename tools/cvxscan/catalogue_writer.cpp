#include "tools/cvxscan/catalogue_writer.h"

#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/text.h"

std::unique_ptr<CatalogueWriter> MakeCatalogueWriter(OutputFormat format, std::FILE* out) {
    switch (format) {
        case OutputFormat::kTable: return MakeTableWriter(out);
        case OutputFormat::kCsv: return MakeCsvWriter(out);
        case OutputFormat::kJson: return MakeJsonWriter(out);
    }
    return nullptr;
}

DisplayFields ToDisplay(const CatalogueEntry& entry) {
    const Reading& r = entry.reading;
    return {FileNameToUtf8(entry.path),     FileNameToUtf8(r.fileName),    Windows1252ToUtf8(r.title),
            Windows1252ToUtf8(r.artist),    Windows1252ToUtf8(r.album),    Windows1252ToUtf8(r.comment),
            Windows1252ToUtf8(r.genre)};
}

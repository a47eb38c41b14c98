// The catalogue on standard output, one entry per file read, in the three
// output formats. All text written is UTF-8.
#pragma once

#include <memory>
#include <string>

#include "tools/cvxscan/failure.h"
#include "tools/cvxscan/options.h"
#include "tools/cvxscan/output.h"
#include "tools/host/plugin_library.h"

namespace cvxscan {

struct CatalogueEntry {
    std::string path;    // as the walk found it
    std::string plugin;  // file name of the plug-in that read it
    cvx::host::Reading reading;
};

class CatalogueWriter {
public:
    virtual ~CatalogueWriter() = default;
    virtual void Write(const CatalogueEntry& entry) = 0;
    // A record of what failed, with the record's own fields empty; the table,
    // which people read beside stderr, leaves failures to stderr.
    virtual void WriteFailure(const Failure&) {}
    // Writes what is held back (the table measures its first rows).
    virtual void Finish() {}
};

struct WriterSettings {
    size_t columns = 0;          // the width the table must fit, 0 for any
    bool byteOrderMark = false;  // CSV starts with U+FEFF
};

std::unique_ptr<CatalogueWriter> MakeCatalogueWriter(OutputFormat format, Output& out, const WriterSettings& settings);
std::unique_ptr<CatalogueWriter> MakeTableWriter(Output& out, size_t columns);
std::unique_ptr<CatalogueWriter> MakeCsvWriter(Output& out, bool byteOrderMark);
std::unique_ptr<CatalogueWriter> MakeJsonWriter(Output& out);

// The record's text fields as UTF-8: tags read as Windows-1252, the path
// made valid, the plug-in's file name from the host's 8-bit text.
struct DisplayFields {
    std::string path, fileName, title, artist, album, comment, genre;
};
// Filled in place, so that a writer reusing one set of fields allocates
// nothing once its strings have grown.
void ToDisplay(const CatalogueEntry& entry, DisplayFields& text);

}  // namespace cvxscan

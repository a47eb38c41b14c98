// The catalogue on standard output, one entry per file read, in the three
// output formats. All text written is UTF-8.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "tools/cvxscan/options.h"
#include "tools/host/plugin_library.h"

struct CatalogueEntry {
    std::string path;    // as the walk found it
    std::string plugin;  // file name of the plug-in that read it
    Reading reading;
};

class CatalogueWriter {
public:
    virtual ~CatalogueWriter() = default;
    virtual void Write(const CatalogueEntry& entry) = 0;
};

std::unique_ptr<CatalogueWriter> MakeCatalogueWriter(OutputFormat format, std::FILE* out);
std::unique_ptr<CatalogueWriter> MakeTableWriter(std::FILE* out);
std::unique_ptr<CatalogueWriter> MakeCsvWriter(std::FILE* out);
std::unique_ptr<CatalogueWriter> MakeJsonWriter(std::FILE* out);

// The record's text fields as UTF-8: tags read as Windows-1252, names as the
// file system's bytes made valid.
struct DisplayFields {
    std::string path, fileName, title, artist, album, comment, genre;
};
DisplayFields ToDisplay(const CatalogueEntry& entry);

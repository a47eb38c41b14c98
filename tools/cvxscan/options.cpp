#include "tools/cvxscan/options.h"

#include <cstdlib>
#include <cstring>

const char kHelpText[] =
    R"(usage: cvxscan [options] PATH...

Loads every *.cvx plug-in of a folder the way Corvane does and prints the
catalogue they produce for the files below PATH: each file whose extension a
plug-in names (GetExtension) is opened with a new file-info object
(CreateFileInfo), read through every getter and destroyed. Folders are walked
recursively in sorted order; symbolic links to folders are not followed.

options:
  --plugins DIR     load the plug-ins from DIR (default: cvxscan's own folder)
  --format FORMAT   table (default on a terminal), csv (RFC 4180, the default
                    otherwise) or json (one object per line, every field)
  --jobs N          read with N threads, each with its own objects; the
                    output order is the same as with one
  --install         call each plug-in's Install first and report the result;
                    PATH may then be left out
  --help            show this text

Tag text arrives from the plug-ins as 8-bit text (ISO 8859-1 from OGG, code
page 1252 or raw ID3v1 bytes from FLAC) and is shown as UTF-8, read as
Windows-1252. Files a plug-in cannot read are reported on stderr and the scan
goes on; a summary follows on stderr, and a progress line while a long scan
runs on a terminal.

exit status: 0 every file read, 1 some file, folder or plug-in failed,
2 bad usage or no plug-in could be loaded.
)";

namespace {

bool ParseFormat(const std::string& text, OutputFormat& format) {
    if (text == "table") format = OutputFormat::kTable;
    else if (text == "csv") format = OutputFormat::kCsv;
    else if (text == "json") format = OutputFormat::kJson;
    else return false;
    return true;
}

bool ParseJobs(const std::string& text, unsigned& jobs) {
    constexpr unsigned long kMostJobs = 256;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || text[0] == '-' || value == 0 || value > kMostJobs) return false;
    jobs = static_cast<unsigned>(value);
    return true;
}

}  // namespace

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
    Options options;
    bool onlyPaths = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (onlyPaths || arg.empty() || arg[0] != '-' || arg == "-") {
            options.paths.push_back(arg);
            continue;
        }
        // "--name=value" and "--name value" both work for the valued options.
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const bool takesValue = name == "--plugins" || name == "--format" || name == "--jobs";
        if (takesValue && !value) {
            if (i + 1 == argc) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = argv[++i];
        } else if (!takesValue && value) {
            error = name + " takes no value";
            return std::nullopt;
        }

        if (name == "--") {
            onlyPaths = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--install") {
            options.install = true;
        } else if (name == "--plugins") {
            options.pluginFolder = *value;
        } else if (name == "--format") {
            OutputFormat format;
            if (!ParseFormat(*value, format)) {
                error = "unknown format '" + *value + "' (table, csv or json)";
                return std::nullopt;
            }
            options.format = format;
        } else if (name == "--jobs") {
            if (!ParseJobs(*value, options.jobs)) {
                error = "--jobs needs a number from 1 to 256, not '" + *value + "'";
                return std::nullopt;
            }
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (!options.help && !options.install && options.paths.empty()) {
        error = "no PATH to scan";
        return std::nullopt;
    }
    return options;
}

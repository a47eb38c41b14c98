#include "tools/cvxscan/options.h"

#include <cstdlib>
#include <cstring>

namespace cvxscan {

const char kCvxscanVersion[] = CVXSCAN_VERSION;

const char kHelpText[] =
    R"(usage: cvxscan [options] [--] PATH...
       cvxscan [options] --files-from LIST     (or - for a list on stdin)
       cvxscan [options] --install [PATH...]
       cvxscan [--plugins DIR] --version

Loads every *.cvx plug-in of a folder the way Corvane does and prints the
catalogue they produce for the files below PATH: each file whose extension a
plug-in names (GetExtension) is opened with a new file-info object
(CreateFileInfo), read through every getter and destroyed. Folders are walked
recursively in sorted order; symbolic links to folders are not followed.

options (a valued option takes its value as --name VALUE or --name=VALUE):
  --plugins DIR     load the plug-ins from DIR (default: cvxscan's own folder;
                    --install then writes plugin.ini two folders above it)
  --format FORMAT   table (default on a terminal, fitted to its width), csv
                    (RFC 4180, the default otherwise) or json (one object per
                    line, every field)
  --jobs N          read with N threads, each with its own objects (default:
                    one per processor); the output order is the same as with one
  --files-from LIST scan the paths listed in the file LIST, one per line (a CR
                    before the line end is dropped); LIST - is stdin
  -                 the same as --files-from -
  -0, --null        the lists hold paths ended by NUL bytes, as find -print0
                    writes them
  --install         call each plug-in's Install first and report, for each,
                    the plugin.ini it names and what happened; PATH may then be
                    left out
  --version         print the version of cvxscan and of each plug-in it loads
  -h, --help        show this text
  --                take every later argument as a PATH

Tag text arrives from the plug-ins as 8-bit text (ISO 8859-1 from OGG, code
page 1252 or raw ID3v1 bytes from FLAC) and is shown as UTF-8, read as
Windows-1252. Paths of 260 bytes or more exceed the host's limit and no
plug-in reads them: give a relative PATH to shorten them. Files a plug-in
cannot read are reported on stderr with the reason and the scan goes on; a
summary follows on stderr, and a progress line while a long scan runs on a
terminal.

exit status: 0 every file read; 1 some file, folder, list or plug-in failed;
2 bad usage or no plug-in could be loaded; 3 standard output could not be
written (write error).
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
        if (onlyPaths || arg.empty() || arg[0] != '-') {
            options.sources.push_back({arg, false});
            continue;
        }
        if (arg == "-") {
            options.sources.push_back({arg, true});
            continue;
        }
        // "--name=value" and "--name value" both work for the valued options.
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const bool takesValue =
            name == "--plugins" || name == "--format" || name == "--jobs" || name == "--files-from";
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
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "-0" || name == "--null") {
            options.listsSeparatedByNul = true;
        } else if (name == "--files-from") {
            options.sources.push_back({*value, true});
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
            unsigned jobs = 0;
            if (!ParseJobs(*value, jobs)) {
                error = "--jobs needs a number from 1 to 256, not '" + *value + "'";
                return std::nullopt;
            }
            options.jobs = jobs;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    if (!options.help && !options.version && !options.install && options.sources.empty()) {
        error = "no PATH to scan";
        return std::nullopt;
    }
    return options;
}

}  // namespace cvxscan

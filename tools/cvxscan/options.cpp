#include "tools/cvxscan/options.h"

#include <getopt.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

namespace cvxscan {

const char kCvxscanVersion[] = CVXSCAN_VERSION;

namespace {

// A short option's code is its letter, a byte; the long-only options' codes
// come after every byte.
constexpr int kFirstLongOnlyCode = 256;

enum OptionCode : int {
    kPathArgument = 1,  // getopt_long's code for an argument that is not an option, with "-" first in its string
    kNull = '0',
    kHelp = 'h',
    kPlugins = kFirstLongOnlyCode,
    kFormat,
    kJobs,
    kFilesFrom,
    kBom,
    kInstall,
    kForce,
    kVersion,
};

// Every option, once: the parser's table and the lines of --help are both
// made from it.
struct OptionRow {
    const char* name;
    int code;         // a short option's letter, or a code of its own
    const char* value;  // the value's name in --help, null when it takes none
    const char* help;   // lines of --help, '\n' between them
};

constexpr OptionRow kOptionRows[] = {
    {"plugins", kPlugins, "DIR",
     "load the plug-ins from DIR (default: cvxscan's own folder;\n"
     "--install then writes plugin.ini two folders above it)"},
    {"format", kFormat, "FORMAT",
     "table (default on a terminal, fitted to its width, or to\n"
     "COLUMNS elsewhere), csv (RFC 4180, the default otherwise) or\n"
     "json (one object per line, every field)"},
    {"bom", kBom, nullptr,
     "CSV for a spreadsheet (the default format then): a byte-order\n"
     "mark, so that it reads UTF-8, and a ' before any text that\n"
     "begins with = + - @, a tab or a carriage return, so that\n"
     "no value becomes a formula"},
    {"jobs", kJobs, "N",
     "read with N threads, each with its own objects (default:\n"
     "one per processor); the output order is the same as with one"},
    {"files-from", kFilesFrom, "LIST",
     "scan the paths listed in the file LIST, one per line (a CR\n"
     "before the line end is dropped); LIST - is stdin; a lone -\n"
     "is the same as --files-from -"},
    {"null", kNull, nullptr, "the lists hold paths ended by NUL bytes, as find -print0\nwrites them"},
    {"install", kInstall, nullptr,
     "call each plug-in's Install first and report, for each,\n"
     "the plugin.ini it names and what happened; PATH may then be\n"
     "left out. The plug-ins' folder must be a Plugins/Formats\n"
     "folder, as Corvane's is"},
    {"force", kForce, nullptr,
     "with --install: install from any folder, though the\n"
     "plugin.ini two folders above it is none Corvane reads"},
    {"version", kVersion, nullptr, "print the version of cvxscan and of each plug-in it loads"},
    {"help", kHelp, nullptr, "show this text"},
};

// Short options: a leading '-' delivers each PATH in its place among the
// options, and ':' reports a missing value apart from an unknown option.
constexpr char kShortOptions[] = "-:0h";

constexpr char kUsage[] =
    R"(usage: cvxscan [options] [--] PATH...
       cvxscan [options] --files-from LIST     (or - for a list on stdin)
       cvxscan [options] --install [PATH...]
       cvxscan [--plugins DIR] --version

Loads every *.cvx plug-in of a folder the way Corvane does and prints the
catalogue they produce for the files below PATH: each file whose extension a
plug-in names (GetExtension) is opened with a new file-info object
(CreateFileInfo), read through every getter and destroyed. Folders are walked
recursively in sorted order; symbolic links to folders are not followed; a
file named twice is read once.

options (a valued option takes its value as --name VALUE or --name=VALUE):
)";

constexpr char kAfterOptions[] =
    R"(  --                take every later argument as a PATH

Tag text arrives from the plug-ins as 8-bit text (ISO 8859-1 from OGG; the
ANSI code page, 1252 outside Windows, from FLAC and OPUS; FLAC's ID3v1 bytes
as they are) and is shown as UTF-8, read as Windows-1252. Paths of 260 bytes or more exceed the host's limit and no
plug-in reads them: give a relative PATH to shorten them. Whatever cannot be
read (a file, a folder, a PATH, a list, a plug-in) is reported on stderr with
the reason and the scan goes on; in CSV and JSON a file or PATH that failed is
also a record, with its reason in the field "failure". A summary follows on
stderr, and a progress line while a long scan runs on a terminal.

exit status: 0 every file read; 1 some file, folder, list or plug-in failed;
2 bad usage or no plug-in could be loaded; 3 standard output could not be
written (write error). A closed pipe ends cvxscan as it ends other programs.
)";

constexpr size_t kHelpColumn = 20;  // where the option lines' text starts

const OptionRow* RowFor(int code) {
    for (const OptionRow& row : kOptionRows) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

// "--name" of the option, with "-c, " before it for a short one.
std::string Spelled(const OptionRow& row) {
    std::string spelled = row.code < kFirstLongOnlyCode ? std::string("-") + static_cast<char>(row.code) + ", " : "";
    return spelled + "--" + row.name;
}

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

// What getopt_long refused, said in words: the argument as written when it
// is no option, the option's name when its value is missing or not wanted.
std::string Refusal(int result, const char* argument, int optopt) {
    const OptionRow* row = RowFor(optopt);
    std::string name = argument;
    if (row != nullptr && name.rfind("--", 0) == 0) name = std::string("--") + row->name;
    if (result == ':') return name + " needs a value";
    if (row != nullptr && row->value == nullptr && std::string(argument).find('=') != std::string::npos) {
        return name + " takes no value";
    }
    if (optopt != 0 && row == nullptr) return std::string("unknown option -") + static_cast<char>(optopt);
    return "unknown option " + name.substr(0, name.find('='));
}

}  // namespace

std::string HelpText() {
    std::string text = kUsage;
    for (const OptionRow& row : kOptionRows) {
        std::string line = "  " + Spelled(row) + (row.value ? std::string(" ") + row.value : "");
        std::string help = row.help;
        for (size_t start = 0; start <= help.size();) {
            size_t end = help.find('\n', start);
            if (end == std::string::npos) end = help.size();
            line.resize(std::max(line.size() + 1, kHelpColumn), ' ');
            text += line + help.substr(start, end - start) + "\n";
            line.clear();
            start = end + 1;
        }
    }
    return text + kAfterOptions;
}

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
    option longOptions[std::size(kOptionRows) + 1] = {};
    for (size_t i = 0; i < std::size(kOptionRows); ++i) {
        const OptionRow& row = kOptionRows[i];
        longOptions[i] = {row.name, row.value ? required_argument : no_argument, nullptr, row.code};
    }
    Options options;
    opterr = 0;  // the messages are cvxscan's
    optind = 0;  // a fresh parse, on glibc and on mingw-w64 alike
    for (int code; (code = getopt_long(argc, argv, kShortOptions, longOptions, nullptr)) != -1;) {
        const std::string value = optarg != nullptr ? optarg : "";
        switch (code) {
            case kPathArgument: options.sources.push_back({value, value == "-"}); break;
            case kNull: options.listsSeparatedByNul = true; break;
            case kHelp: options.help = true; break;
            case kPlugins: options.pluginFolder = value; break;
            case kFilesFrom: options.sources.push_back({value, true}); break;
            case kBom: options.byteOrderMark = true; break;
            case kInstall: options.install = true; break;
            case kForce: options.force = true; break;
            case kVersion: options.version = true; break;
            case kFormat: {
                OutputFormat format;
                if (!ParseFormat(value, format)) {
                    error = "unknown format '" + value + "' (table, csv or json)";
                    return std::nullopt;
                }
                options.format = format;
                break;
            }
            case kJobs: {
                unsigned jobs = 0;
                if (!ParseJobs(value, jobs)) {
                    error = "--jobs needs a number from 1 to " + std::to_string(kMostJobs) + ", not '" + value + "'";
                    return std::nullopt;
                }
                options.jobs = jobs;
                break;
            }
            default:
                error = Refusal(code, argv[optind - 1], optopt);
                return std::nullopt;
        }
    }
    for (int i = optind; i < argc; ++i) options.sources.push_back({argv[i], false});  // after "--"
    if (options.help) return options;
    if (!options.version && !options.install && options.sources.empty()) {
        error = "no PATH to scan";
        return std::nullopt;
    }
    if (options.force && !options.install) {
        error = "--force is for --install";
        return std::nullopt;
    }
    if (options.byteOrderMark && options.format.value_or(OutputFormat::kCsv) != OutputFormat::kCsv) {
        error = "--bom is for CSV, not " + std::string(options.format == OutputFormat::kJson ? "JSON" : "the table");
        return std::nullopt;
    }
    const bool listGiven = std::any_of(options.sources.begin(), options.sources.end(),
                                       [](const PathSource& source) { return source.isList; });
    if (options.listsSeparatedByNul && !listGiven) {
        error = "-0 is for lists of paths: give a list with --files-from LIST or -";
        return std::nullopt;
    }
    return options;
}

}  // namespace cvxscan

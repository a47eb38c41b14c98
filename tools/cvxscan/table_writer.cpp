// An aligned table for people: one line per file, long cells cut with '…'.
#include <string>
#include <vector>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/text.h"

namespace {

struct Column {
    const char* heading;
    size_t width;
    bool alignRight;
};

// File, Length, Size, Title, Artist, Album, Year, Track, Genre.
constexpr Column kColumns[] = {{"File", 40, false},  {"Length", 8, true},  {"Size", 9, true},
                               {"Title", 28, false}, {"Artist", 20, false}, {"Album", 20, false},
                               {"Year", 4, true},    {"Track", 5, true},    {"Genre", 14, false}};
constexpr size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];

std::string NumberOrBlank(int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

class TableWriter : public CatalogueWriter {
public:
    explicit TableWriter(std::FILE* out) : out_(out) {
        std::vector<std::string> headings, rules;
        for (const Column& column : kColumns) {
            headings.emplace_back(column.heading);
            rules.emplace_back(column.width, '-');
        }
        WriteLine(headings);
        WriteLine(rules);
    }

    void Write(const CatalogueEntry& entry) override {
        const DisplayFields text = ToDisplay(entry);
        const Reading& r = entry.reading;
        WriteLine({text.path, r.lengthText, std::to_string(r.fileSize), text.title, text.artist, text.album,
                   NumberOrBlank(r.year), NumberOrBlank(r.track), text.genre});
    }

private:
    void WriteLine(const std::vector<std::string>& cells) {
        std::string line;
        for (size_t i = 0; i < kColumnCount; ++i) {
            const Column& column = kColumns[i];
            const bool isPath = i == 0;
            const std::string cell = FitToWidth(WithoutControls(cells[i]), column.width, isPath);
            const std::string padding(column.width - CharacterCount(cell), ' ');
            if (i > 0) line += "  ";
            line += column.alignRight ? padding + cell : cell + padding;
        }
        line.erase(line.find_last_not_of(' ') + 1);  // an empty last cell leaves no blanks
        line += '\n';
        std::fputs(line.c_str(), out_);
    }

    std::FILE* out_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeTableWriter(std::FILE* out) { return std::make_unique<TableWriter>(out); }

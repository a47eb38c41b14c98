// An aligned table for people: one line per file, long cells cut with '…',
// narrowed to fit a terminal.
#include <algorithm>
#include <string>
#include <vector>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/text.h"

namespace cvxscan {

namespace {

struct Column {
    const char* heading;
    size_t fullWidth;  // without a terminal, or on one wide enough
    size_t leastWidth;
    unsigned share;  // of the room between the two; 0: the column never narrows
    bool alignRight;
};

// File, Length, Size, Title, Artist, Album, Year, Track, Genre. Title and
// artist take the largest shares of what a narrow terminal leaves.
constexpr Column kColumns[] = {{"File", 40, 10, 2, false},  {"Length", 8, 8, 0, true},   {"Size", 9, 9, 0, true},
                               {"Title", 28, 12, 3, false}, {"Artist", 20, 10, 2, false}, {"Album", 20, 8, 1, false},
                               {"Year", 4, 4, 0, true},     {"Track", 5, 5, 0, true},    {"Genre", 14, 5, 1, false}};
constexpr size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];
constexpr size_t kWideGap = 2, kNarrowGap = 1;

struct Layout {
    std::vector<size_t> widths;
    size_t gap;
};

template <class Width>
size_t LineWidth(Width width, size_t gap) {
    size_t total = gap * (kColumnCount - 1);
    for (const Column& column : kColumns) total += width(column);
    return total;
}

// The columns' widths for a terminal `terminalColumns` wide (0: no terminal).
// Below the full width each narrowing column starts from its least width,
// and the room left goes out one column at a time to the column furthest
// below its share.
Layout LayOut(size_t terminalColumns) {
    Layout layout{{}, kWideGap};
    for (const Column& column : kColumns) layout.widths.push_back(column.fullWidth);
    const auto full = [](const Column& c) { return c.fullWidth; };
    const auto least = [](const Column& c) { return c.leastWidth; };
    if (terminalColumns == 0 || LineWidth(full, kWideGap) <= terminalColumns) return layout;

    if (LineWidth(least, kWideGap) > terminalColumns) layout.gap = kNarrowGap;
    const size_t leastLine = LineWidth(least, layout.gap);
    size_t room = terminalColumns > leastLine ? terminalColumns - leastLine : 0;
    std::vector<size_t> given(kColumnCount, 0);
    for (size_t i = 0; i < kColumnCount; ++i) layout.widths[i] = kColumns[i].leastWidth;
    for (; room > 0; --room) {
        size_t best = kColumnCount;
        for (size_t i = 0; i < kColumnCount; ++i) {
            const Column& column = kColumns[i];
            if (column.share == 0 || layout.widths[i] == column.fullWidth) continue;
            // given/share smallest first, compared without division.
            if (best == kColumnCount || given[i] * kColumns[best].share < given[best] * column.share) best = i;
        }
        if (best == kColumnCount) break;
        ++layout.widths[best];
        ++given[best];
    }
    return layout;
}

std::string NumberOrBlank(int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

class TableWriter : public CatalogueWriter {
public:
    TableWriter(Output& out, size_t terminalColumns) : out_(out), layout_(LayOut(terminalColumns)) {
        std::vector<std::string> headings, rules;
        for (size_t i = 0; i < kColumnCount; ++i) {
            headings.emplace_back(kColumns[i].heading);
            rules.emplace_back(layout_.widths[i], '-');
        }
        WriteLine(headings);
        WriteLine(rules);
    }

    void Write(const CatalogueEntry& entry) override {
        DisplayFields& text = text_;
        ToDisplay(entry, text);
        const cvx::host::Reading& r = entry.reading;
        WriteLine({text.path, r.lengthText, std::to_string(r.fileSize), text.title, text.artist, text.album,
                   NumberOrBlank(r.year), NumberOrBlank(r.track), text.genre});
    }

private:
    void WriteLine(const std::vector<std::string>& cells) {
        line_.clear();
        for (size_t i = 0; i < kColumnCount; ++i) {
            const Column& column = kColumns[i];
            const size_t width = layout_.widths[i];
            const bool isPath = i == 0;
            const std::string cell = FitToWidth(WithoutControls(cells[i]), width, isPath);
            const std::string padding(width - DisplayWidth(cell), ' ');
            if (i > 0) line_.append(layout_.gap, ' ');
            line_ += column.alignRight ? padding + cell : cell + padding;
        }
        line_.erase(line_.find_last_not_of(' ') + 1);  // an empty last cell leaves no blanks
        line_ += '\n';
        out_.Write(line_);
    }

    Output& out_;
    const Layout layout_;
    DisplayFields text_;
    std::string line_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeTableWriter(Output& out, size_t terminalColumns) {
    return std::make_unique<TableWriter>(out, terminalColumns);
}

}  // namespace cvxscan

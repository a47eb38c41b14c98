// An aligned table for people: one line per file, never wider than the room
// it has. The widths follow the first rows' values: they are held back and
// measured before the first line is drawn; a later, longer value is cut.
#include <algorithm>
#include <string>
#include <vector>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/fit_text.h"
#include "tools/cvxscan/utf8_text.h"

namespace cvxscan {

namespace {

enum ColumnIndex : size_t { kFile, kLength, kSize, kTitle, kArtist, kAlbum, kYear, kTrack, kGenre, kColumnCount };

struct Column {
    const char* heading;
    bool alignRight;
    size_t leastWidth;  // what a narrowed text column keeps, if its values are as wide
};

constexpr Column kColumns[kColumnCount] = {
    {"File", false, 28}, {"Length", true, 0}, {"Size", true, 0}, {"Title", false, 12}, {"Artist", false, 10},
    {"Album", false, 8}, {"Year", true, 0},   {"Track", true, 0}, {"Genre", false, 5}};

// How many rows are measured before the first line is drawn: a few
// screenfuls, which even a slow disk reads in a moment.
constexpr size_t kMeasuredRows = 200;
// Without a width to fit, text columns but File stop here.
constexpr size_t kWidestTextColumn = 40;
// What File keeps once the least needed columns have gone, before Artist
// goes too.
constexpr size_t kNarrowFileWidth = 16;
constexpr size_t kWideGap = 2, kNarrowGap = 1;
// The order columns go in when the room runs out: the least needed first.
constexpr ColumnIndex kFirstToGo[] = {kGenre, kSize, kTrack, kYear, kAlbum};
constexpr ColumnIndex kLastToGo[] = {kArtist};

using Row = std::vector<std::string>;  // a cell per column, as shown

struct Layout {
    std::vector<size_t> widths;  // 0: the column is not shown
    size_t gap = kWideGap;

    size_t LineWidth() const {
        size_t total = 0, shown = 0;
        for (const size_t width : widths) {
            total += width;
            shown += width > 0;
        }
        return total + gap * (shown > 0 ? shown - 1 : 0);
    }
};

// Narrows the widest of `columns` by one column at a time, none below its
// floor, until the line fits `room`.
void Narrow(Layout& layout, size_t room, std::initializer_list<ColumnIndex> columns,
            const std::vector<size_t>& floors) {
    while (layout.LineWidth() > room) {
        size_t widest = kColumnCount;
        for (const ColumnIndex i : columns) {
            if (layout.widths[i] == 0 || layout.widths[i] <= floors[i]) continue;
            if (widest == kColumnCount || layout.widths[i] > layout.widths[widest]) widest = i;
        }
        if (widest == kColumnCount) return;
        --layout.widths[widest];
    }
}

template <size_t N>
void Drop(Layout& layout, size_t room, const ColumnIndex (&columns)[N]) {
    for (const ColumnIndex i : columns) {
        if (layout.LineWidth() <= room) return;
        layout.widths[i] = 0;
    }
}

// The widths for `rows` in `room` columns (0: any). A column with nothing in
// it goes; text columns narrow, widest first, down to their least widths,
// and only then File, down to its own; then
// the gaps narrow, Genre, Size, Track, Year and Album go, File narrows
// further, Artist goes, and last File and Title are cut as far as needed.
// File takes whatever room is left, for the longer paths of later rows.
Layout LayOut(const std::vector<Row>& rows, size_t room) {
    Layout layout;
    std::vector<size_t> natural(kColumnCount, 0);
    for (const Row& row : rows) {
        for (size_t i = 0; i < kColumnCount; ++i) natural[i] = std::max(natural[i], DisplayWidth(row[i]));
    }
    for (size_t i = 0; i < kColumnCount; ++i) {
        const bool empty = natural[i] == 0 && i != kFile;
        const size_t heading = DisplayWidth(kColumns[i].heading);
        size_t width = empty ? 0 : std::max(natural[i], heading);
        if (room == 0 && i != kFile && !kColumns[i].alignRight) width = std::min(width, kWidestTextColumn);
        layout.widths.push_back(width);
    }
    if (room == 0) return layout;

    std::vector<size_t> floors(kColumnCount);
    for (size_t i = 0; i < kColumnCount; ++i) floors[i] = std::min(layout.widths[i], kColumns[i].leastWidth);
    Narrow(layout, room, {kTitle, kArtist, kAlbum, kGenre}, floors);
    Narrow(layout, room, {kFile}, floors);
    if (layout.LineWidth() > room) layout.gap = kNarrowGap;
    Drop(layout, room, kFirstToGo);
    floors[kFile] = std::min(floors[kFile], kNarrowFileWidth);
    Narrow(layout, room, {kFile, kTitle, kArtist, kAlbum}, floors);
    Drop(layout, room, kLastToGo);
    std::fill(floors.begin(), floors.end(), 1);
    Narrow(layout, room, {kFile, kTitle}, floors);
    if (layout.LineWidth() < room) layout.widths[kFile] += room - layout.LineWidth();
    return layout;
}

std::string NumberOrBlank(int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

class TableWriter : public CatalogueWriter {
public:
    TableWriter(Output& out, size_t columns) : out_(out), room_(columns) {}

    void Write(const CatalogueEntry& entry) override {
        ToDisplay(entry, text_);
        const cvx::host::Reading& r = entry.reading;
        Row row = {text_.path, r.lengthText, std::to_string(r.fileSize), text_.title, text_.artist, text_.album,
                   NumberOrBlank(r.year), NumberOrBlank(r.track), text_.genre};
        for (std::string& cell : row) cell = WithoutControls(cell);
        if (drawn_) {
            WriteLine(row);
            return;
        }
        held_.push_back(std::move(row));
        if (held_.size() == kMeasuredRows) Draw();
    }

    void Finish() override {
        if (!drawn_) Draw();
    }

private:
    void Draw() {
        layout_ = LayOut(held_, room_);
        if (!held_.empty()) sharedFolder_ = held_.front()[kFile];
        for (const Row& row : held_) sharedFolder_.resize(SharedFolderLength(sharedFolder_, row[kFile]));
        drawn_ = true;
        Row headings, rules;
        for (size_t i = 0; i < kColumnCount; ++i) {
            headings.emplace_back(kColumns[i].heading);
            rules.emplace_back(layout_.widths[i], '-');
        }
        WriteLine(headings);
        WriteLine(rules);
        for (const Row& row : held_) WriteLine(row);
        held_.clear();
    }

    void WriteLine(const Row& cells) {
        line_.clear();
        bool first = true;
        for (size_t i = 0; i < kColumnCount; ++i) {
            const size_t width = layout_.widths[i];
            if (width == 0) continue;
            const std::string cell = i == kFile
                                         ? FitPathToWidth(cells[i], width, SharedFolderLength(sharedFolder_, cells[i]))
                                         : FitToWidth(cells[i], width);
            const std::string padding(width - DisplayWidth(cell), ' ');
            if (!first) line_.append(layout_.gap, ' ');
            first = false;
            line_ += kColumns[i].alignRight ? padding + cell : cell + padding;
        }
        line_.erase(line_.find_last_not_of(' ') + 1);  // an empty last cell leaves no blanks
        line_ += '\n';
        out_.Write(line_);
    }

    Output& out_;
    const size_t room_;
    std::vector<Row> held_;
    bool drawn_ = false;
    Layout layout_;
    std::string sharedFolder_;  // the folders all measured rows' files are in
    DisplayFields text_;
    std::string line_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeTableWriter(Output& out, size_t columns) {
    return std::make_unique<TableWriter>(out, columns);
}

}  // namespace cvxscan

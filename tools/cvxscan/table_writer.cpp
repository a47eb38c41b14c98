// An aligned table for people: one line per file, never wider than the room
// it has. Every row is held back until the scan ends and the widths follow
// all of them, so no value a later row brings is lost to a column sized
// without it (a catalogue of 100,000 files holds a few tens of MB).
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/fit_text.h"
#include "tools/cvxscan/report.h"
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
    return layout;
}

std::string NumberOrBlank(int32_t value) { return value == 0 ? std::string() : std::to_string(value); }

// The File cells of `paths` in `width` columns. Paths the ordinary cut shows
// alike are cut again around where each differs from its nearest like path
// (sorted, the one before or after), and those still alike again, among
// themselves (two editions' same title: first the titles, then the
// editions); `alike` counts the paths still shown like another's.
std::vector<std::string> FileCells(const std::vector<const std::string*>& paths, size_t width,
                                   const std::string& sharedFolder, size_t& alike) {
    std::vector<std::string> cells;
    for (const std::string* path : paths) {
        cells.push_back(FitPathToWidth(*path, width, SharedFolderLength(sharedFolder, *path)));
    }
    const auto groupsOfAlike = [&] {
        std::map<std::string, std::vector<size_t>> byCell;
        for (size_t i = 0; i < cells.size(); ++i) byCell[cells[i]].push_back(i);
        std::vector<std::vector<size_t>> groups;
        for (auto& [cell, rows] : byCell) {
            std::sort(rows.begin(), rows.end(), [&](size_t a, size_t b) { return *paths[a] < *paths[b]; });
            rows.erase(std::unique(rows.begin(), rows.end(), [&](size_t a, size_t b) { return *paths[a] == *paths[b]; }),
                       rows.end());
            if (rows.size() > 1) groups.push_back(std::move(rows));
        }
        return groups;
    };
    constexpr int kMostRounds = 3;
    std::vector<std::vector<size_t>> groups = groupsOfAlike();
    for (int round = 0; round < kMostRounds && !groups.empty(); ++round) {
        for (const std::vector<size_t>& rows : groups) {
            for (size_t k = 0; k < rows.size(); ++k) {
                const std::string& path = *paths[rows[k]];
                size_t differsAt = 0;
                if (k > 0) differsAt = std::max(differsAt, CommonStartLength(path, *paths[rows[k - 1]]));
                if (k + 1 < rows.size()) differsAt = std::max(differsAt, CommonStartLength(path, *paths[rows[k + 1]]));
                cells[rows[k]] = FitPathAroundDifference(path, width, differsAt);
            }
        }
        groups = groupsOfAlike();
    }
    alike = 0;
    for (const std::vector<size_t>& rows : groups) alike += rows.size();
    return cells;
}

class TableWriter : public CatalogueWriter {
public:
    TableWriter(Output& out, size_t columns) : out_(out), room_(columns) {}

    void Write(const CatalogueEntry& entry) override {
        ToDisplay(entry, text_);
        const cvx::host::Reading& r = entry.reading;
        Row row = {text_.path, r.lengthText, std::to_string(r.fileSize), text_.title, text_.artist, text_.album,
                   NumberOrBlank(r.year), NumberOrBlank(r.track), text_.genre};
        for (std::string& cell : row) cell = WithoutControls(cell);
        held_.push_back(std::move(row));
    }

    void Finish() override { Draw(); }

private:
    void Draw() {
        layout_ = LayOut(held_, room_);
        std::string sharedFolder;  // the folders all rows' files are in
        if (!held_.empty()) sharedFolder = held_.front()[kFile];
        for (const Row& row : held_) sharedFolder.resize(SharedFolderLength(sharedFolder, row[kFile]));
        std::vector<const std::string*> paths;
        for (const Row& row : held_) paths.push_back(&row[kFile]);
        size_t alike = 0;
        const std::vector<std::string> fileCells = FileCells(paths, layout_.widths[kFile], sharedFolder, alike);
        for (size_t i = 0; i < held_.size(); ++i) held_[i][kFile] = fileCells[i];
        Row headings, rules;
        for (size_t i = 0; i < kColumnCount; ++i) {
            headings.emplace_back(kColumns[i].heading);
            rules.emplace_back(layout_.widths[i], '-');
        }
        WriteLine(headings);
        WriteLine(rules);
        for (const Row& row : held_) WriteLine(row);
        held_.clear();
        if (alike > 0) {
            Report(Count(alike, "file") + " shown with a path like another's at this width: --format csv shows every path whole");
        }
    }

    void WriteLine(const Row& cells) {
        line_.clear();
        bool first = true;
        for (size_t i = 0; i < kColumnCount; ++i) {
            const size_t width = layout_.widths[i];
            if (width == 0) continue;
            const std::string cell = FitToWidth(cells[i], width);  // File is cut already
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
    Layout layout_;
    DisplayFields text_;
    std::string line_;
};

}  // namespace

std::unique_ptr<CatalogueWriter> MakeTableWriter(Output& out, size_t columns) {
    return std::make_unique<TableWriter>(out, columns);
}

}  // namespace cvxscan

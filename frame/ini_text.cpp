#include "frame/ini_text.h"

#include <vector>

#include "frame/ascii.h"

namespace cvx {

namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr size_t kByteOrderMarkSize = 3;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool NamesMatch(const std::string& a, const std::string& b) {
    return a.size() == b.size() && EqualsIgnoringAsciiCase(a.data(), b.data(), a.size());
}

enum class LineKind { kBlank, kComment, kSection, kKey };

// One line of the file: where it lies in the text and what it says.
struct IniLine {
    size_t contentBegin;  // first byte of its text: after a byte-order mark
    size_t contentEnd;    // end of the line without its line ending
    size_t end;           // end of the line with its line ending
    LineKind kind;
    std::string name;     // section or key name, trimmed
    std::string value;    // key value, trimmed, quotes removed
};

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

IniLine ParseLine(const std::string& text, size_t begin, size_t contentBegin) {
    IniLine line{};
    line.contentBegin = contentBegin;
    size_t newline = text.find('\n', begin);
    line.end = newline == std::string::npos ? text.size() : newline + 1;
    line.contentEnd = newline == std::string::npos ? text.size() : newline;
    if (line.contentEnd > contentBegin && text[line.contentEnd - 1] == '\r') --line.contentEnd;

    const std::string content = Trim(text.substr(contentBegin, line.contentEnd - contentBegin));
    if (content.empty()) {
        line.kind = LineKind::kBlank;
    } else if (content[0] == ';') {
        line.kind = LineKind::kComment;
    } else if (content[0] == '[') {
        line.kind = LineKind::kSection;
        const size_t close = content.find(']');
        line.name = Trim(content.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else {
        line.kind = LineKind::kKey;
        const size_t equals = content.find('=');
        line.name = Trim(content.substr(0, equals));
        if (equals != std::string::npos) line.value = Unquote(Trim(content.substr(equals + 1)));
    }
    return line;
}

std::vector<IniLine> ParseLines(const std::string& text) {
    std::vector<IniLine> lines;
    size_t begin = 0;
    // The byte-order mark belongs to the first line but is no part of its text.
    size_t contentBegin = text.compare(0, kByteOrderMarkSize, kUtf8ByteOrderMark) == 0 ? kByteOrderMarkSize : 0;
    while (begin < text.size()) {
        lines.push_back(ParseLine(text, begin, contentBegin));
        begin = lines.back().end;
        contentBegin = begin;
    }
    return lines;
}

// Where a key lives, or would be added, within the first matching section.
struct KeyPlace {
    bool sectionFound = false;
    const IniLine* key = nullptr;        // the first matching key line
    const IniLine* insertAfter = nullptr;  // last key line, or the section header
};

KeyPlace FindKeyPlace(const std::vector<IniLine>& lines, const std::string& section, const std::string& key) {
    KeyPlace place;
    for (const IniLine& line : lines) {
        if (line.kind == LineKind::kSection) {
            if (place.sectionFound) break;  // the first matching section ends here
            if (NamesMatch(line.name, section)) {
                place.sectionFound = true;
                place.insertAfter = &line;
            }
        } else if (place.sectionFound && line.kind == LineKind::kKey) {
            place.insertAfter = &line;
            if (place.key == nullptr && NamesMatch(line.name, key)) place.key = &line;
        }
    }
    return place;
}

std::string LineEndingOf(const std::string& text) {
    const size_t newline = text.find('\n');
    return (newline != std::string::npos && newline > 0 && text[newline - 1] == '\r') ? "\r\n" : "\n";
}

// Ends the text's last line, if it has no line feed, so that a line added
// after it starts a line of its own. A last line ending in '\r' gets just the
// '\n' that makes it CRLF, so its text reads as before.
void TerminateLastLine(std::string& text, const std::string& eol) {
    if (text.empty() || text.back() == '\n') return;
    text += text.back() == '\r' ? "\n" : eol;
}

}  // namespace

std::optional<std::string> FindIniValue(const std::string& text, const std::string& section,
                                        const std::string& key) {
    const std::vector<IniLine> lines = ParseLines(text);
    const KeyPlace place = FindKeyPlace(lines, section, key);
    if (place.key == nullptr) return std::nullopt;
    return place.key->value;
}

IniEdit SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value) {
    const std::vector<IniLine> lines = ParseLines(text);
    const KeyPlace place = FindKeyPlace(lines, section, key);
    const std::string eol = LineEndingOf(text);
    const std::string keyLine = key + "=" + value;

    if (place.key != nullptr) {
        const size_t length = place.key->contentEnd - place.key->contentBegin;
        if (text.compare(place.key->contentBegin, length, keyLine) == 0) return {text, IniChange::kUnchanged};
        std::string edited = text;
        edited.replace(place.key->contentBegin, length, keyLine);
        return {edited, IniChange::kUpdated};
    }

    if (place.sectionFound) {
        const IniLine& anchor = *place.insertAfter;
        std::string edited = text.substr(0, anchor.end);
        TerminateLastLine(edited, eol);  // the anchor may have been the last line
        edited += keyLine + eol;
        edited += text.substr(anchor.end);
        return {edited, IniChange::kInserted};
    }

    std::string edited = text;
    if (edited != kUtf8ByteOrderMark) TerminateLastLine(edited, eol);
    edited += "[" + section + "]" + eol + keyLine + eol;
    return {edited, IniChange::kInserted};
}

}  // namespace cvx

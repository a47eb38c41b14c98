#include "tools/cvxscan/record_fields.h"

#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/utf8_text.h"

namespace cvxscan {

namespace {

using Entry = CatalogueEntry;

const std::string* Empty(const Failure&) { return nullptr; }

}  // namespace

const RecordField kRecordFields[kRecordFieldCount] = {
    {"path", FieldKind::kName, [](const Entry& e) { return &e.path; }, nullptr, [](const Failure& f) { return &f.path; }},
    {"plugin", FieldKind::kAsIs, [](const Entry& e) { return &e.plugin; }, nullptr,
     [](const Failure& f) { return &f.plugin; }},
    {"file_name", FieldKind::kHostName, [](const Entry& e) { return &e.reading.fileName; }, nullptr, Empty},
    {"size", FieldKind::kNumber, nullptr, [](const Entry& e) { return e.reading.fileSize; }, Empty},
    {"length", FieldKind::kNumber, nullptr, [](const Entry& e) { return e.reading.length; }, Empty},
    {"length_text", FieldKind::kAsIs, [](const Entry& e) { return &e.reading.lengthText; }, nullptr, Empty},
    {"title", FieldKind::kTag, [](const Entry& e) { return &e.reading.title; }, nullptr, Empty},
    {"artist", FieldKind::kTag, [](const Entry& e) { return &e.reading.artist; }, nullptr, Empty},
    {"album", FieldKind::kTag, [](const Entry& e) { return &e.reading.album; }, nullptr, Empty},
    {"comment", FieldKind::kTag, [](const Entry& e) { return &e.reading.comment; }, nullptr, Empty},
    {"genre", FieldKind::kTag, [](const Entry& e) { return &e.reading.genre; }, nullptr, Empty},
    {"year", FieldKind::kNumber, nullptr, [](const Entry& e) { return e.reading.year; }, Empty},
    {"track", FieldKind::kNumber, nullptr, [](const Entry& e) { return e.reading.track; }, Empty},
    // Empty for a file read.
    {"failure", FieldKind::kName, [](const Entry&) -> const std::string* { return nullptr; }, nullptr,
     [](const Failure& f) { return &f.reason; }},
};

void AppendFieldText(std::string& out, FieldKind kind, const std::string& raw) {
    switch (kind) {
        case FieldKind::kName: AppendValidUtf8(out, raw); break;
        case FieldKind::kHostName: AppendHostNameAsUtf8(out, raw); break;
        case FieldKind::kTag: AppendWindows1252AsUtf8(out, raw); break;
        case FieldKind::kAsIs:
        case FieldKind::kNumber: out += raw; break;
    }
}

}  // namespace cvxscan

// The fields of a catalogue record, in their order: the one list the CSV
// header and rows, the JSON objects and the README's field list follow.
#pragma once

#include <cstdint>
#include <string>

#include "tools/cvxscan/catalogue_writer.h"
#include "tools/cvxscan/failure.h"

namespace cvxscan {

enum class FieldKind {
    kName,      // a path within cvxscan, or a message about one: made valid UTF-8
    kHostName,  // a path as the plug-in has it: the host's 8-bit text as UTF-8
    kTag,     // a tag's 8-bit text: each byte read as Windows-1252
    kAsIs,    // ASCII already: a plug-in's file name, the playing-time text
    kNumber,  // an int32, null in JSON where nothing was read
};

struct RecordField {
    const char* name;
    FieldKind kind;
    // Its value in the record of a file read: text, or for kNumber the
    // number.
    const std::string* (*text)(const CatalogueEntry&);
    int32_t (*number)(const CatalogueEntry&);
    // Its value in the record of a failure, or null where that is empty.
    const std::string* (*ofFailure)(const Failure&);
};

inline constexpr int kRecordFieldCount = 14;
extern const RecordField kRecordFields[kRecordFieldCount];

// Appends the field's text converted to UTF-8 as its kind says.
void AppendFieldText(std::string& out, FieldKind kind, const std::string& raw);

}  // namespace cvxscan

#include <taglib/mp4atom.h>
#include <taglib/mp4file.h>

#include "frame/open_file_for_record.h"
#include "m4a/mp4_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

namespace {

// Whether TagLib's tree holds a box that the Windows build's TagLib, whose
// long has 32 bits, cannot count: one ending past 2^31 - 9 (its top level
// adds 8 to an end). Up to the first such box both builds read alike.
bool PastTwoGiB(const TagLib::MP4::AtomList& atoms) {
    for (const TagLib::MP4::Atom* atom : atoms) {
        if (static_cast<long long>(atom->offset) + atom->length > 2147483647LL - 8 || PastTwoGiB(atom->children)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int32_t CVX_THISCALL PrescribedMp4FileInfo::Open(const char* path) noexcept {
    const FilePtr probe = OpenFileForRecord(record_, path);  // no FIFO reaches TagLib
    ClearTags(record_);
    record_.length = 0;
    if (!probe) return 1;
    try {
        TagLib::MP4::File file(path, readProperties_);
        if (!file.isValid() || PastTwoGiB(TagLib::MP4::Atoms(&file).atoms)) return 1;
        const TagLib::MP4::Properties* properties = file.audioProperties();
        const int milliseconds = properties ? properties->lengthInMilliseconds() : 0;
        record_.length = milliseconds > 0 ? milliseconds / 1000 : 0;
        m4a::TakeItems(record_, file.tag()->itemMap());
        return 0;
    } catch (...) {
        ClearTags(record_);
        record_.length = 0;
        return 1;
    }
}

}  // namespace cvx::testing

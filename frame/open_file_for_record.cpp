#include "frame/open_file_for_record.h"

#include "frame/probe_file_size.h"

namespace cvx {

FilePtr OpenFileForRecord(TagRecord& record, const char* path, int64_t* sizeBytes) {
    if (!StorePath(record, path)) return nullptr;
    int64_t size = -1;
    FilePtr file = OpenRegularFileForReading(path, &size);
    record.fileSize = file ? FileSizeField(size) : -1;
    if (file && sizeBytes != nullptr) *sizeBytes = size;
    return file;
}

}  // namespace cvx

#include "tests/support/library_page_search.h"

#include <algorithm>
#include <cstring>

namespace cvx::testing {

namespace {

constexpr long kReadSize = 2048;  // READSIZE and OP_READ_SIZE

}  // namespace

LibraryPageSearch::LibraryPageSearch(Library library, const unsigned char* data, size_t size, int64_t from)
    : library_(library), data_(data), size_(static_cast<int64_t>(size)), offset_(from), fed_(from) {
    ogg_sync_init(&sync_);
}

LibraryPageSearch::~LibraryPageSearch() { ogg_sync_clear(&sync_); }

bool LibraryPageSearch::Feed(long bytes) {
    bytes = static_cast<long>(std::min<int64_t>(bytes, size_ - fed_));
    if (bytes <= 0) return false;
    char* buffer = ogg_sync_buffer(&sync_, bytes);
    std::memcpy(buffer, data_ + fed_, static_cast<size_t>(bytes));
    ogg_sync_wrote(&sync_, bytes);
    fed_ += bytes;
    return true;
}

int64_t LibraryPageSearch::Next(int64_t boundary, int64_t& pageSize) {
    ogg_page page;
    for (;;) {
        if (boundary >= 0 && offset_ >= boundary) return -1;
        const long more = ogg_sync_pageseek(&sync_, &page);
        if (more < 0) {
            offset_ -= more;  // skipped
        } else if (more == 0) {
            if (library_ == Library::kVorbisfile) {
                if (!Feed(kReadSize)) return -1;
            } else {
                // libopusfile reads up to its boundary and no further.
                if (boundary >= 0 && fed_ >= boundary) return -1;
                if (!Feed(boundary < 0 ? kReadSize : static_cast<long>(std::min<int64_t>(boundary - fed_, kReadSize)))) {
                    return -1;
                }
            }
        } else {
            const int64_t at = offset_;
            offset_ += more;
            pageSize = more;
            return at;
        }
    }
}

}  // namespace cvx::testing

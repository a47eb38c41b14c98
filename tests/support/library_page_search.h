// The page searches of libvorbisfile 1.3.7 (_get_next_page in
// lib/vorbisfile.c) and libopusfile 0.12 (op_get_next_page in
// src/opusfile.c), copied onto libogg's own ogg_sync_pageseek over bytes in
// memory, fed as those libraries feed it: what ogg/page_finder.h must find.
#pragma once

#include <ogg/ogg.h>

#include <cstddef>
#include <cstdint>

namespace cvx::testing {

class LibraryPageSearch {
public:
    enum class Library { kVorbisfile, kOpusfile };

    // A search over `size` bytes at `data`, from `from` on, as `library`
    // does it after seeking there.
    LibraryPageSearch(Library library, const unsigned char* data, size_t size, int64_t from);
    ~LibraryPageSearch();
    LibraryPageSearch(const LibraryPageSearch&) = delete;
    LibraryPageSearch& operator=(const LibraryPageSearch&) = delete;

    // The next page's offset, or -1 when the library finds none. `boundary`
    // is the library's argument made absolute: libvorbisfile takes pages
    // that begin before it, libopusfile reads no further than it; -1 for
    // none. `pageSize` receives the page's size.
    int64_t Next(int64_t boundary, int64_t& pageSize);

private:
    bool Feed(long bytes);  // false at the end of the data

    Library library_;
    const unsigned char* data_;
    int64_t size_;
    int64_t offset_;  // the libraries' offset: where the page search stands
    int64_t fed_;     // the end of what ogg_sync holds
    ogg_sync_state sync_;
};

}  // namespace cvx::testing

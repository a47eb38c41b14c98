// Ogg pages found exactly where libogg's ogg_sync_pageseek finds them when
// bytes are fed to it from a given offset on: at the first capture pattern
// "OggS" whose header and the body its lacing values declare are complete
// and whose checksum holds; from the byte after any other capture pattern
// the search goes on. A capture pattern whose page would run past the last
// byte the reader will ever be given ends the search: libogg waits there for
// bytes that never come. Version, serial number and sequence are not looked
// at (ogg_stream_pagein checks those). The pages are handed on as libogg's
// ogg_page, for ogg_stream_pagein.
#pragma once

#include <ogg/ogg.h>

#include <cstddef>
#include <cstdint>

#include "ogg/file_window.h"

namespace cvx::ogg {

enum class PageSearch {
    kFound,
    kNotBefore,   // no page begins before the search's boundary
    kNone,        // none before the end of what the reader is given
    kUnreadable,  // the file could not be read
};

struct FoundPage {
    int64_t offset;  // in the file
    int64_t size;    // header and body
    ogg_page page;   // into the window: valid until the window grows
};

// The first capture pattern lying wholly in [from, end), or null.
const unsigned char* FindCapturePattern(const unsigned char* from, const unsigned char* end);

// The next page at or after `from`, searched in `window` (which starts at
// or before `from`) as a reader does that feeds libogg the bytes up to
// `dataEnd` and no further, and takes only pages that begin before
// `beginBefore` (-1: anywhere). The bytes before `from` are released.
PageSearch FindPage(FileWindow& window, int64_t from, int64_t beginBefore, int64_t dataEnd, FoundPage& found);

// What a reader keeps of the last page it found.
struct LastPage {
    int64_t offset = 0;
    int64_t size = 0;
    int serial = 0;
    ogg_int64_t granule = -1;
};

// The last page that begins in the file's last `chunkBytes`, found as the
// first step of a search backwards from the end (libvorbisfile's
// _get_prev_page_serial, libopusfile's op_get_prev_page_serial) finds it:
// page after page from the chunk's start, the bytes fed up to the end of
// the file. kFound, kNone or kUnreadable; `file.tail` holds the chunk.
PageSearch FindLastPage(FileWindows& file, int64_t chunkBytes, LastPage& last);

}  // namespace cvx::ogg

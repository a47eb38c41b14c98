#include "ogg/opus_in_ogg.h"

#include <cstring>

#include "ogg/page_finder.h"
#include "ogg/read_limits.h"

namespace cvx::ogg {

namespace {

constexpr char kOpusHeadMagic[] = "OpusHead";
constexpr long kOpusHeadMagicSize = sizeof kOpusHeadMagic - 1;

}  // namespace

bool FirstStreamIsOpus(std::FILE* file, int64_t sizeBytes, const FileWindows& alreadyRead) {
    FileWindow window(file, sizeBytes);
    window.StartAt(0, &alreadyRead.head);
    FoundPage first;
    if (FindPage(window, 0, kVorbisfileChunkSize, sizeBytes, first) != PageSearch::kFound) return false;
    return ogg_page_bos(&first.page) && first.page.body_len >= kOpusHeadMagicSize &&
           std::memcmp(first.page.body, kOpusHeadMagic, kOpusHeadMagicSize) == 0;
}

}  // namespace cvx::ogg

#include "opus/opus_one_link.h"

#include <ogg/ogg.h>
#include <opus.h>
#include <opusfile.h>

#include <algorithm>
#include <cstdint>

#include "ogg/page_finder.h"
#include "ogg/stream_state.h"
#include "opus/opus_file_info.h"

namespace cvx::opus {

namespace {

using ogg::FileWindows;
using ogg::FindPage;
using ogg::FoundPage;
using ogg::LastPage;
using ogg::PageSearch;
using ogg::StreamState;

// libopusfile's OP_CHUNK_SIZE: how far it looks for the next header page,
// and the step by which it searches backwards. And, not libopusfile's, how
// far past the headers this reading looks for the first packet of sound
// before it leaves the file to libopusfile. The fuzz build makes the chunk
// small in the library it builds and tells the reader so, and brings the
// limit within the few KiB its inputs hold.
#if defined(CVX_LIBRARY_CHUNK_SIZE)
constexpr int64_t kChunkSize = CVX_LIBRARY_CHUNK_SIZE;
constexpr int64_t kFarthestFirstSound = 2 * kChunkSize;
#else
constexpr int64_t kChunkSize = 65536;
constexpr int64_t kFarthestFirstSound = 16 * kChunkSize;
#endif

constexpr int kMostPacketsOnAPage = 255;
constexpr int kMostSamplesInAPacket = 120 * 48;  // 120 ms at 48 kHz

// OP_ADV_OFFSET (src/internal.h): `offset` + `amount` without overflow.
int64_t AdvancedOffset(int64_t offset, int64_t amount) { return std::min(offset, INT64_MAX - amount) + amount; }

// op_granpos_add, op_granpos_diff and op_granpos_cmp (src/opusfile.c):
// granule positions as unsigned 64-bit numbers, -1 being none.
bool GranposAdd(ogg_int64_t& dst, ogg_int64_t src, int32_t delta) {
    if (delta > 0) {
        if (src < 0 && src >= -1 - delta) return false;
        if (src > INT64_MAX - delta) {
            delta -= static_cast<int32_t>(INT64_MAX - src) + 1;
            src = INT64_MIN;
        }
    } else if (delta < 0) {
        if (src >= 0 && src < -delta) return false;
        if (src < INT64_MIN - delta) {
            delta += static_cast<int32_t>(src - INT64_MIN) + 1;
            src = INT64_MAX;
        }
    }
    dst = src + delta;
    return true;
}

bool GranposDiff(ogg_int64_t& delta, ogg_int64_t a, ogg_int64_t b) {
    const bool aNegative = a < 0, bNegative = b < 0;
    if (aNegative != bNegative) {
        if (aNegative) {
            const ogg_int64_t da = (INT64_MIN - a) - 1, db = INT64_MAX - b;
            if (INT64_MAX + da < db) return false;
            delta = db - da;
        } else {
            const ogg_int64_t da = a + INT64_MIN, db = INT64_MIN - b;
            if (da < INT64_MIN - db) return false;
            delta = da + db;
        }
    } else {
        delta = a - b;
    }
    return true;
}

int GranposCompare(ogg_int64_t a, ogg_int64_t b) {
    if (a < 0) {
        if (b >= 0) return 1;
    } else if (b < 0) {
        return -1;
    }
    return (a > b) - (b > a);
}

// op_get_packet_duration: samples at 48 kHz, or negative.
int PacketDuration(const unsigned char* data, long bytes) {
    const int frames = opus_packet_get_nb_frames(data, static_cast<opus_int32>(bytes));
    if (frames < 0) return OP_EBADPACKET;
    const int samples = frames * opus_packet_get_samples_per_frame(data, 48000);
    return samples > kMostSamplesInAPacket ? OP_EBADPACKET : samples;
}

struct Tags {
    Tags() { opus_tags_init(&tags); }
    ~Tags() { opus_tags_clear(&tags); }
    Tags(const Tags&) = delete;
    Tags& operator=(const Tags&) = delete;
    OpusTags tags;
};

// op_open_callbacks's reading of one file, step by step; each step either
// goes on or says why libopusfile must decide.
class Reading {
public:
    explicit Reading(FileWindows& file) : file_(file), fileSize_(file.head.fileSize()) {}

    // op_fetch_headers (with a serial-number list), for the first link.
    OneLinkOpus FetchHeaders() {
        FoundPage page;
        if (const PageSearch search = NextHeaderPage(page); search != PageSearch::kFound) {
            return NotFound(search);
        }
        ogg_packet packet;
        bool streamSet = false;
        bool serialSeen = false;
        int firstSerial = 0;
        while (ogg_page_bos(&page.page)) {
            // The first serial number again makes the link invalid; another
            // is another stream.
            if (serialSeen) {
                return ogg_page_serialno(&page.page) == firstSerial ? OneLinkOpus::kNoHeaders : OneLinkOpus::kOtherStreams;
            }
            serialSeen = true;
            firstSerial = ogg_page_serialno(&page.page);
            if (!streamSet) {
                ogg_stream_reset_serialno(&stream_.os, ogg_page_serialno(&page.page));
                ogg_stream_pagein(&stream_.os, &page.page);
                if (ogg_stream_packetout(&stream_.os, &packet) > 0) {
                    const int parsed = opus_head_parse(&head_, packet.packet, static_cast<size_t>(packet.bytes));
                    if (parsed >= 0) streamSet = true;
                    else if (parsed != OP_ENOTFORMAT) return OneLinkOpus::kNoHeaders;
                }
            }
            if (const PageSearch search = NextHeaderPage(page); search != PageSearch::kFound) {
                return NotFound(search);
            }
        }
        if (!streamSet) return OneLinkOpus::kNoHeaders;
        if (stream_.os.serialno == ogg_page_serialno(&page.page)) ogg_stream_pagein(&stream_.os, &page.page);
        for (;;) {
            const int result = ogg_stream_packetout(&stream_.os, &packet);
            if (result == -1) return OneLinkOpus::kNoHeaders;  // a hole in the headers
            if (result == 0) {
                for (;;) {
                    if (const PageSearch search = NextHeaderPage(page);
                        search != PageSearch::kFound) {
                        return NotFound(search);
                    }
                    if (stream_.os.serialno == ogg_page_serialno(&page.page)) {
                        ogg_stream_pagein(&stream_.os, &page.page);
                        break;
                    }
                    if (ogg_page_bos(&page.page)) return OneLinkOpus::kNoHeaders;  // the link ends first
                }
                continue;
            }
            // The comment header, alone on the page it ends on.
            if (opus_tags_parse(&tags_.tags, packet.packet, static_cast<size_t>(packet.bytes)) < 0) {
                return OneLinkOpus::kNoHeaders;
            }
            if (ogg_stream_packetout(&stream_.os, &packet) != 0 || lastLacingValue_ == 255) return OneLinkOpus::kNoHeaders;
            break;
        }
        // op_make_decode_ready's decoder takes no more streams than this.
        if (head_.stream_count > 255 - head_.coupled_count) return OneLinkOpus::kNoHeaders;
        dataOffset_ = offset_;
        return OneLinkOpus::kAnswered;
    }

    // op_find_initial_pcm_offset: the granule position of the first page
    // with a complete packet of sound, less the packets' durations. Its
    // search has no bound; this one gives up kFarthestFirstSound past the
    // headers.
    OneLinkOpus FindInitialPcmOffset() {
        const long serial = stream_.os.serialno;
        int durations[kMostPacketsOnAPage];
        ogg_packet packets[kMostPacketsOnAPage];
        int count = 0;
        int32_t totalDuration = 0;
        do {
            FoundPage page;
            const PageSearch search = NextPageBefore(page, AdvancedOffset(dataOffset_, kFarthestFirstSound));
            if (search == PageSearch::kUnreadable) return OneLinkOpus::kUnreadable;
            if (search == PageSearch::kNotBefore) return OneLinkOpus::kFarToTheFirstSound;
            // No sound at all: the link is empty, which a pre-skip forbids.
            if (search != PageSearch::kFound || ogg_page_bos(&page.page)) {
                if (head_.pre_skip > 0) return OneLinkOpus::kBadTimestamp;
                emptyLink_ = true;
                return OneLinkOpus::kAnswered;
            }
            if (ogg_page_serialno(&page.page) != serial) continue;
            ogg_stream_pagein(&stream_.os, &page.page);
            // op_collect_audio_packets, again after each hole.
            do {
                count = 0;
                totalDuration = 0;
                for (int result; (result = ogg_stream_packetout(&stream_.os, &packets[count])) != 0;) {
                    if (result < 0) {
                        totalDuration = OP_HOLE;
                        break;
                    }
                    durations[count] = PacketDuration(packets[count].packet, packets[count].bytes);
                    if (durations[count] > 0) {
                        totalDuration += durations[count++];
                    } else if (count > 0) {
                        packets[count - 1].granulepos = packets[count].granulepos;  // an invalid packet's
                    }
                }
            } while (totalDuration < 0);
        } while (count <= 0);

        const ogg_int64_t pageGranule = packets[count - 1].granulepos;
        if (pageGranule == -1) return OneLinkOpus::kBadTimestamp;
        if (!packets[count - 1].e_o_s) {
            if (!GranposAdd(pcmStart_, pageGranule, -totalDuration)) return OneLinkOpus::kBadTimestamp;
        } else if (!GranposAdd(pcmStart_, pageGranule, -totalDuration)) {
            // The first page of sound is also the last and trims its end.
            pcmStart_ = 0;
            if (GranposCompare(pageGranule, head_.pre_skip) < 0) return OneLinkOpus::kBadTimestamp;
        }
        return OneLinkOpus::kAnswered;
    }

    // The first chunk of op_get_prev_page_serial from the end, and
    // op_bisect_forward_serialno's test for one link: the last page found
    // there is the stream's; then op_find_final_pcm_offset with it.
    OneLinkOpus FindLastPage() {
        LastPage last;
        const PageSearch search = ogg::FindLastPage(file_, kChunkSize, last);
        if (search == PageSearch::kUnreadable) return OneLinkOpus::kUnreadable;
        if (search != PageSearch::kFound) return OneLinkOpus::kNoPageAtTheEnd;
        // Trailing junk is forgotten: the file ends with that page.
        if (last.offset + last.size < dataOffset_) return OneLinkOpus::kBadTimestamp;
        if (last.serial != stream_.os.serialno) return OneLinkOpus::kMoreThanOneLink;
        if (emptyLink_) return OneLinkOpus::kAnswered;

        if (last.granule == -1) return OneLinkOpus::kNoEndGranule;
        if (last.offset < dataOffset_) return OneLinkOpus::kBadTimestamp;
        ogg_int64_t duration = 0;
        if (!GranposDiff(duration, last.granule, pcmStart_) || duration < head_.pre_skip) return OneLinkOpus::kBadTimestamp;
        totalSamples_ = duration - head_.pre_skip;
        return OneLinkOpus::kAnswered;
    }

    int64_t totalSamples() const { return totalSamples_; }
    const OpusTags& tags() const { return tags_.tags; }

private:
    // op_get_next_page from where the last page ended with the headers'
    // boundary, a chunk on: it reads no further, so the page must end before.
    PageSearch NextHeaderPage(FoundPage& page) {
        const int64_t boundary = AdvancedOffset(offset_, kChunkSize);
        return NextPage(page, boundary, std::min(boundary, fileSize_));
    }

    // op_get_next_page from where the last page ended, with no boundary:
    // to the end of the file. Pages that begin at or past `beginBefore` are
    // not this reading's.
    PageSearch NextPageBefore(FoundPage& page, int64_t beginBefore) { return NextPage(page, beginBefore, fileSize_); }

    PageSearch NextPage(FoundPage& page, int64_t beginBefore, int64_t dataEnd) {
        const PageSearch search = FindPage(file_.head, offset_, beginBefore, dataEnd, page);
        if (search == PageSearch::kFound) {
            offset_ = page.offset + page.size;
            lastLacingValue_ = page.page.header[page.page.header_len - 1];
        }
        return search;
    }

    // Where op_fetch_headers finds no page, it fails.
    static OneLinkOpus NotFound(PageSearch search) {
        return search == PageSearch::kUnreadable ? OneLinkOpus::kUnreadable : OneLinkOpus::kNoHeaders;
    }

    FileWindows& file_;
    const int64_t fileSize_;
    StreamState stream_;
    OpusHead head_{};
    Tags tags_;
    int64_t offset_ = 0;      // where the next page is searched from
    int64_t dataOffset_ = 0;  // the end of the header pages
    unsigned char lastLacingValue_ = 0;  // of the last page found
    bool emptyLink_ = false;
    ogg_int64_t pcmStart_ = 0;
    int64_t totalSamples_ = 0;
};

}  // namespace

const char* NameOf(OneLinkOpus road) {
    switch (road) {
        case OneLinkOpus::kAnswered: return "answered";
        case OneLinkOpus::kNoHeaders: return "no headers";
        case OneLinkOpus::kOtherStreams: return "other streams";
        case OneLinkOpus::kBadTimestamp: return "bad timestamp";
        case OneLinkOpus::kNoPageAtTheEnd: return "no page at the end";
        case OneLinkOpus::kMoreThanOneLink: return "more than one link";
        case OneLinkOpus::kNoEndGranule: return "no end granule";
        case OneLinkOpus::kFarToTheFirstSound: return "far to the first sound";
        case OneLinkOpus::kUnreadable: return "unreadable";
    }
    return "?";
}

OneLinkOpus ReadOneLinkOpus(FileWindows& file, int64_t& totalSamples, TagRecord& tags) {
    file.head.StartAt(0);
    Reading reading(file);
    OneLinkOpus road = reading.FetchHeaders();
    if (road == OneLinkOpus::kAnswered) road = reading.FindInitialPcmOffset();
    if (road == OneLinkOpus::kAnswered) road = reading.FindLastPage();
    if (road != OneLinkOpus::kAnswered) return road;
    totalSamples = reading.totalSamples();
    ClearTags(tags);
    TakeTags(tags, reading.tags());
    return road;
}

}  // namespace cvx::opus

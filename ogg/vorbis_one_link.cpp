#include "ogg/vorbis_one_link.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <algorithm>

#include "ogg/page_finder.h"
#include "ogg/read_limits.h"
#include "ogg/stream_state.h"
#include "ogg/vorbis_comment_packet.h"
#include "ogg/vorbis_file_info.h"
#include "ogg/vorbis_setup_check.h"

namespace cvx::ogg {

namespace {

// libvorbisfile's headers of the first link, released once.
struct Headers {
    Headers() {
        vorbis_info_init(&info);
        vorbis_comment_init(&unusedComment);
    }
    ~Headers() {
        vorbis_comment_clear(&unusedComment);
        vorbis_info_clear(&info);
    }
    Headers(const Headers&) = delete;
    Headers& operator=(const Headers&) = delete;
    vorbis_info info;
    vorbis_comment unusedComment;  // vorbis_synthesis_headerin wants one for the identification header
    VorbisModes modes;
};

// vorbis_packet_blocksize (lib/synthesis.c) with the modes the setup check
// kept: the block size of an audio packet, or negative.
long PacketBlockSize(const Headers& headers, ogg_packet& packet) {
    oggpack_buffer bits;
    oggpack_readinit(&bits, packet.packet, packet.bytes);
    if (oggpack_read(&bits, 1) != 0) return OV_ENOTAUDIO;
    int modeBits = 0;
    for (unsigned v = static_cast<unsigned>(headers.modes.count - 1); v != 0; v >>= 1) ++modeBits;
    const long mode = oggpack_read(&bits, modeBits);
    if (mode == -1 || mode >= headers.modes.count) return OV_EBADPACKET;
    return vorbis_info_blocksize(const_cast<vorbis_info*>(&headers.info), headers.modes.blockFlag[mode]);
}

// ov_open's reading of one file, step by step; each step either goes on or
// says why libvorbisfile must decide.
class Reading {
public:
    explicit Reading(FileWindows& file) : file_(file), fileSize_(file.head.fileSize()) {}

    // _fetch_headers (with a serial-number list), for the first link.
    OneLinkVorbis FetchHeaders(TagRecord& tags) {
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
                return ogg_page_serialno(&page.page) == firstSerial ? OneLinkVorbis::kNoHeaders
                                                                    : OneLinkVorbis::kOtherStreams;
            }
            serialSeen = true;
            firstSerial = ogg_page_serialno(&page.page);
            if (!streamSet) {
                ogg_stream_reset_serialno(&stream_.os, ogg_page_serialno(&page.page));
                ogg_stream_pagein(&stream_.os, &page.page);
                if (ogg_stream_packetout(&stream_.os, &packet) > 0 && vorbis_synthesis_idheader(&packet)) {
                    streamSet = true;
                    if (vorbis_synthesis_headerin(&headers_.info, &headers_.unusedComment, &packet) != 0) {
                        return OneLinkVorbis::kNoHeaders;
                    }
                }
            }
            if (const PageSearch search = NextHeaderPage(page); search != PageSearch::kFound) {
                return NotFound(search);
            }
            if (streamSet && stream_.os.serialno == ogg_page_serialno(&page.page)) {
                ogg_stream_pagein(&stream_.os, &page.page);
                break;
            }
        }
        if (!streamSet) return OneLinkVorbis::kNoHeaders;

        // The comment header, then the setup header.
        bool allBeginning = false;
        for (int taken = 0; taken < 2;) {
            for (int result; taken < 2 && (result = ogg_stream_packetout(&stream_.os, &packet)) != 0; ++taken) {
                if (result == -1) return OneLinkVorbis::kNoHeaders;
                const bool accepted =
                    taken == 0 ? ReadVorbisCommentPacket(packet.packet, packet.bytes,
                                                         [&](const char* text, size_t length) {
                                                             TakeComment(tags, text, length);
                                                         })
                               : CheckVorbisSetup(packet.packet, packet.bytes, headers_.info.channels, headers_.modes);
                if (!accepted) return OneLinkVorbis::kNoHeaders;
            }
            while (taken < 2) {
                if (const PageSearch search = NextHeaderPage(page); search != PageSearch::kFound) {
                    return NotFound(search);
                }
                if (stream_.os.serialno == ogg_page_serialno(&page.page)) {
                    ogg_stream_pagein(&stream_.os, &page.page);
                    break;
                }
                // The link ends before its headers do.
                if (ogg_page_bos(&page.page)) {
                    if (allBeginning) return OneLinkVorbis::kNoHeaders;
                    allBeginning = true;
                }
            }
        }
        dataOffset_ = offset_;
        return OneLinkVorbis::kAnswered;
    }

    // _initial_pcmoffset: the granule position of the first page of sound,
    // less what its packets decode to. Its search has no bound; this one
    // gives up kLongestRunRead past the headers, where libvorbisfile's own
    // reading is watched (ogg/vorbis_input.h).
    OneLinkVorbis FindInitialPcmOffset() {
        const long serial = stream_.os.serialno;
        long lastBlock = -1;
        pcmOffset_ = 0;
        for (;;) {
            FoundPage page;
            const PageSearch search = NextPageBefore(page, dataOffset_ + kLongestRunRead);
            if (search == PageSearch::kUnreadable) return OneLinkVorbis::kUnreadable;
            if (search == PageSearch::kNotBefore) return OneLinkVorbis::kFarToTheFirstSound;
            if (search != PageSearch::kFound || ogg_page_bos(&page.page)) break;
            if (ogg_page_serialno(&page.page) != serial) continue;

            ogg_stream_pagein(&stream_.os, &page.page);
            ogg_packet packet;
            for (int result; (result = ogg_stream_packetout(&stream_.os, &packet)) != 0;) {
                if (result < 0) continue;  // a hole
                const long block = PacketBlockSize(headers_, packet);
                if (block < 0) continue;
                if (lastBlock != -1) pcmOffset_ += (lastBlock + block) >> 2;
                lastBlock = block;
            }
            if (ogg_page_granulepos(&page.page) != -1) {
                pcmOffset_ = ogg_page_granulepos(&page.page) - pcmOffset_;
                break;
            }
        }
        if (pcmOffset_ < 0) pcmOffset_ = 0;
        return OneLinkVorbis::kAnswered;
    }

    // The first chunk of _get_prev_page_serial from the end of the file, and
    // _bisect_forward_serialno's test for one link: the last page found
    // there is the stream's.
    OneLinkVorbis FindLastPage() {
        const PageSearch search = ogg::FindLastPage(file_, kVorbisfileChunkSize, last_);
        if (search == PageSearch::kUnreadable) return OneLinkVorbis::kUnreadable;
        if (search != PageSearch::kFound) return OneLinkVorbis::kNoPageAtTheEnd;
        if (last_.serial != stream_.os.serialno) return OneLinkVorbis::kMoreThanOneLink;
        return OneLinkVorbis::kAnswered;
    }

    // ov_time_total(-1) of the one link: its samples after the initial PCM
    // offset, over the rate.
    double TotalSeconds() const {
        ogg_int64_t samples = (last_.granule < 0 ? 0 : last_.granule) - pcmOffset_;
        if (samples < 0) samples = 0;
        return static_cast<double>(samples) / headers_.info.rate;
    }

private:
    // _get_next_page from where the last page ended with the headers'
    // boundary: a page must begin within a chunk of there.
    PageSearch NextHeaderPage(FoundPage& page) { return NextPageBefore(page, offset_ + kVorbisfileChunkSize); }

    // _get_next_page from where the last page ended, taking pages that begin
    // before `beginBefore`.
    PageSearch NextPageBefore(FoundPage& page, int64_t beginBefore) {
        const PageSearch search = FindPage(file_.head, offset_, beginBefore, fileSize_, page);
        if (search == PageSearch::kFound) offset_ = page.offset + page.size;
        return search;
    }

    // Where _fetch_headers finds no page, it fails.
    static OneLinkVorbis NotFound(PageSearch search) {
        return search == PageSearch::kUnreadable ? OneLinkVorbis::kUnreadable : OneLinkVorbis::kNoHeaders;
    }

    FileWindows& file_;
    const int64_t fileSize_;
    StreamState stream_;
    Headers headers_;
    int64_t offset_ = 0;      // where the next page is searched from
    int64_t dataOffset_ = 0;  // the end of the header pages
    ogg_int64_t pcmOffset_ = 0;
    LastPage last_;
};

}  // namespace

const char* NameOf(OneLinkVorbis road) {
    switch (road) {
        case OneLinkVorbis::kAnswered: return "answered";
        case OneLinkVorbis::kNoHeaders: return "no headers";
        case OneLinkVorbis::kOtherStreams: return "other streams";
        case OneLinkVorbis::kNoPageAtTheEnd: return "no page at the end";
        case OneLinkVorbis::kMoreThanOneLink: return "more than one link";
        case OneLinkVorbis::kFarToTheFirstSound: return "far to the first sound";
        case OneLinkVorbis::kUnreadable: return "unreadable";
    }
    return "?";
}

OneLinkVorbis ReadOneLinkVorbis(FileWindows& file, double& totalSeconds, TagRecord& tags) {
    file.head.StartAt(0);
    TagRecord read{};
    Reading reading(file);
    OneLinkVorbis road = reading.FetchHeaders(read);
    if (road == OneLinkVorbis::kAnswered) road = reading.FindInitialPcmOffset();
    if (road == OneLinkVorbis::kAnswered) road = reading.FindLastPage();
    if (road != OneLinkVorbis::kAnswered) return road;
    totalSeconds = reading.TotalSeconds();
    CopyTags(tags, read);
    return road;
}

}  // namespace cvx::ogg

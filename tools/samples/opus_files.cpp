#include "tools/samples/opus_files.h"

#include <opus/opusenc.h>

#include <memory>
#include <stdexcept>

#include "tools/samples/tone.h"

namespace cvx::samples {

namespace {

constexpr opus_int32 kRateHz = 48000;
constexpr int kMonoOrStereoFamily = 0;
constexpr int kFramesPerWrite = 960;  // 20 ms

struct CommentsFree {
    void operator()(OggOpusComments* comments) const { ope_comments_destroy(comments); }
};
using CommentsPtr = std::unique_ptr<OggOpusComments, CommentsFree>;
struct EncoderFree {
    void operator()(OggOpusEnc* encoder) const { ope_encoder_destroy(encoder); }
};
using EncoderPtr = std::unique_ptr<OggOpusEnc, EncoderFree>;

int AppendPage(void* out, const unsigned char* data, opus_int32 length) {
    static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), data, data + length);
    return 0;
}
int CloseNothing(void*) { return 0; }
constexpr OpusEncCallbacks kToMemory = {AppendPage, CloseNothing};

CommentsPtr CommentsOf(const OpusLink& link) {
    CommentsPtr comments(ope_comments_create());
    if (!comments) throw std::runtime_error("ope_comments_create failed");
    for (const std::string& comment : link.comments) {
        if (ope_comments_add_string(comments.get(), comment.c_str()) != OPE_OK) {
            throw std::runtime_error("ope_comments_add_string refused " + comment);
        }
    }
    if (!link.picture.empty() &&
        ope_comments_add_picture_from_memory(comments.get(), reinterpret_cast<const char*>(link.picture.data()),
                                             link.picture.size(), -1, nullptr) != OPE_OK) {
        throw std::runtime_error("ope_comments_add_picture_from_memory failed");
    }
    return comments;
}

void WriteAudio(OggOpusEnc* encoder, const OpusLink& link, int channels) {
    const auto frames = static_cast<uint64_t>(link.seconds * kRateHz);
    std::vector<float> pcm;
    for (uint64_t start = 0; start < frames; start += kFramesPerWrite) {
        const uint64_t count = std::min<uint64_t>(kFramesPerWrite, frames - start);
        pcm.clear();
        for (uint64_t i = 0; i < count; ++i) {
            for (int channel = 0; channel < channels; ++channel) {
                pcm.push_back(0.5f * ToneSample(link.toneHz, kRateHz, start + i, channel));
            }
        }
        if (ope_encoder_write_float(encoder, pcm.data(), static_cast<int>(count)) != OPE_OK) {
            throw std::runtime_error("ope_encoder_write_float failed");
        }
    }
}

}  // namespace

Bytes EncodeOpus(const std::vector<OpusLink>& links, uint32_t serial) {
    if (links.empty()) return {};
    Bytes out;
    const int channels = links.front().channels;
    CommentsPtr comments = CommentsOf(links.front());
    int error = OPE_OK;
    EncoderPtr encoder(
        ope_encoder_create_callbacks(&kToMemory, &out, comments.get(), kRateHz, channels, kMonoOrStereoFamily, &error));
    if (!encoder) throw std::runtime_error("ope_encoder_create_callbacks failed");
    ope_encoder_ctl(encoder.get(), OPE_SET_SERIALNO(static_cast<opus_int32>(serial)));
    // The least effort: the files are for reading, and long ones are made often.
    ope_encoder_ctl(encoder.get(), OPUS_SET_COMPLEXITY(0));
    for (size_t i = 0; i < links.size(); ++i) {
        if (i > 0) {
            comments = CommentsOf(links[i]);
            if (ope_encoder_chain_current(encoder.get(), comments.get()) != OPE_OK) {
                throw std::runtime_error("ope_encoder_chain_current failed");
            }
            ope_encoder_ctl(encoder.get(), OPE_SET_SERIALNO(static_cast<opus_int32>(serial + i)));
        }
        WriteAudio(encoder.get(), links[i], channels);
    }
    if (ope_encoder_drain(encoder.get()) != OPE_OK) throw std::runtime_error("ope_encoder_drain failed");
    return out;
}

}  // namespace cvx::samples

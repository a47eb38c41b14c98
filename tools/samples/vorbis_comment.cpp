#include "tools/samples/vorbis_comment.h"

namespace cvx::samples {

namespace {

void PutLittleEndian32(Bytes& out, size_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

Bytes VorbisCommentBody(const std::vector<std::string>& entries, const std::string& vendor) {
    Bytes body;
    PutLittleEndian32(body, vendor.size());
    body.insert(body.end(), vendor.begin(), vendor.end());
    PutLittleEndian32(body, entries.size());
    for (const std::string& entry : entries) {
        PutLittleEndian32(body, entry.size());
        body.insert(body.end(), entry.begin(), entry.end());
    }
    return body;
}

}  // namespace cvx::samples

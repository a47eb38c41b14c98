#include "tools/samples/vorbis_comment.h"

namespace cvx::samples {

namespace {

// Each length a 32-bit little-endian count of what follows.
constexpr size_t kLengthBytes = 4;

}  // namespace

Bytes VorbisCommentBody(const std::vector<std::string>& entries, const std::string& vendor) {
    Bytes body;
    AppendLittleEndian(body, vendor.size(), kLengthBytes);
    body.insert(body.end(), vendor.begin(), vendor.end());
    AppendLittleEndian(body, entries.size(), kLengthBytes);
    for (const std::string& entry : entries) {
        AppendLittleEndian(body, entry.size(), kLengthBytes);
        body.insert(body.end(), entry.begin(), entry.end());
    }
    return body;
}

}  // namespace cvx::samples

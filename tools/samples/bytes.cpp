#include "tools/samples/bytes.h"

#include <fstream>
#include <stdexcept>

namespace cvx::samples {

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

Bytes Concatenated(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

void PutLittleEndian(Bytes& bytes, size_t offset, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

void AppendLittleEndian(Bytes& bytes, uint64_t value, size_t width) {
    bytes.resize(bytes.size() + width);
    PutLittleEndian(bytes, bytes.size() - width, value, width);
}

void AppendBigEndian(Bytes& bytes, uint64_t value, size_t width) {
    for (size_t i = width; i-- > 0;) bytes.push_back(i < 8 ? static_cast<uint8_t>(value >> (8 * i)) : 0);
}

}  // namespace cvx::samples

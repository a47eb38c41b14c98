#include "ogg/page_checksum.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define CVX_HAVE_CARRYLESS_MULTIPLY 1
#endif

#include "ogg/page_layout.h"

namespace cvx::ogg {

namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7;  // x^32 implied

// kSlices.byOffset[k][b]: the checksum of byte b followed by k zero bytes,
// so that eight bytes are taken with eight look-ups and no dependency
// between them.
struct Slices {
    uint32_t byOffset[8][256];
};

constexpr Slices MakeSlices() {
    Slices slices{};
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t crc = byte << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ kPolynomial : crc << 1;
        slices.byOffset[0][byte] = crc;
    }
    for (int k = 1; k < 8; ++k) {
        for (uint32_t byte = 0; byte < 256; ++byte) {
            const uint32_t previous = slices.byOffset[k - 1][byte];
            slices.byOffset[k][byte] = (previous << 8) ^ slices.byOffset[0][previous >> 24];
        }
    }
    return slices;
}

constexpr Slices kSlices = MakeSlices();

uint32_t BigEndian32(const unsigned char* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

#if CVX_HAVE_CARRYLESS_MULTIPLY

// x^n mod P, the polynomial with the x^32 term: what a 64-bit half of the
// running remainder is multiplied by to move it n bits on.
constexpr uint32_t XToThePowerModP(unsigned n) {
    uint64_t remainder = 1;
    for (unsigned i = 0; i < n; ++i) {
        remainder <<= 1;
        if (remainder & (uint64_t{1} << 32)) remainder ^= (uint64_t{1} << 32) | kPolynomial;
    }
    return static_cast<uint32_t>(remainder);
}

// Below this the table is as quick; four blocks of 16 bytes are folded at a
// time.
constexpr size_t kShortestForCarrylessMultiply = 64;

#define CVX_CARRYLESS __attribute__((target("pclmul,ssse3")))

// 16 message bytes as one 128-bit polynomial: the first byte's top bit is
// the highest power, as the checksum reads them.
CVX_CARRYLESS inline __m128i LoadBlock(const unsigned char* p) {
    const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
}

// `x` multiplied by x^n mod P, given `k` = {x^n mod P, x^(n+64) mod P}, and
// `next` added: the remainder n bits further on. Each 64-bit half times a
// 32-bit constant fits in 96 bits.
CVX_CARRYLESS inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

#endif  // CVX_HAVE_CARRYLESS_MULTIPLY

// No locks and no guard: a racing first call computes the same answer.
std::atomic<int> carrylessMultiplyKnown{0};  // 0 unknown, 1 absent, 2 present

}  // namespace

uint32_t ChecksumUpdateByTable(uint32_t crc, const unsigned char* data, size_t size) {
    const auto& t = kSlices.byOffset;
    for (; size >= 8; data += 8, size -= 8) {
        const uint32_t first = crc ^ BigEndian32(data);
        crc = t[7][first >> 24] ^ t[6][(first >> 16) & 0xFF] ^ t[5][(first >> 8) & 0xFF] ^ t[4][first & 0xFF] ^
              t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
    }
    for (; size > 0; ++data, --size) crc = (crc << 8) ^ t[0][(crc >> 24) ^ *data];
    return crc;
}

#if CVX_HAVE_CARRYLESS_MULTIPLY

bool CarrylessMultiplyAvailable() {
    int known = carrylessMultiplyKnown.load(std::memory_order_relaxed);
    if (known == 0) {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        const bool present = __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (ecx & bit_SSSE3);
        known = present ? 2 : 1;
        carrylessMultiplyKnown.store(known, std::memory_order_relaxed);
    }
    return known == 2;
}

// The 32-bit host calls with its stack aligned to 4 bytes only; the 16-byte
// registers this spills need it realigned.
#if defined(__i386__)
__attribute__((force_align_arg_pointer))
#endif
CVX_CARRYLESS uint32_t ChecksumUpdateByCarrylessMultiply(uint32_t crc, const unsigned char* data, size_t size) {
    if (size < kShortestForCarrylessMultiply) return ChecksumUpdateByTable(crc, data, size);
    const __m128i by512 = _mm_set_epi64x(XToThePowerModP(512 + 64), XToThePowerModP(512));
    const __m128i by128 = _mm_set_epi64x(XToThePowerModP(128 + 64), XToThePowerModP(128));

    // The checksum so far enters as the message's first 32 bits.
    __m128i x0 = _mm_xor_si128(LoadBlock(data), _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
    __m128i x1 = LoadBlock(data + 16), x2 = LoadBlock(data + 32), x3 = LoadBlock(data + 48);
    data += 64;
    size -= 64;
    for (; size >= 64; data += 64, size -= 64) {
        x0 = Fold(x0, by512, LoadBlock(data));
        x1 = Fold(x1, by512, LoadBlock(data + 16));
        x2 = Fold(x2, by512, LoadBlock(data + 32));
        x3 = Fold(x3, by512, LoadBlock(data + 48));
    }
    __m128i x = Fold(Fold(Fold(x0, by128, x1), by128, x2), by128, x3);
    for (; size >= 16; data += 16, size -= 16) x = Fold(x, by128, LoadBlock(data));

    // The remainder is a 16-byte message of its own with the same checksum.
    alignas(16) unsigned char remainder[16];
    const __m128i reverse = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    _mm_store_si128(reinterpret_cast<__m128i*>(remainder), _mm_shuffle_epi8(x, reverse));
    return ChecksumUpdateByTable(ChecksumUpdateByTable(0, remainder, sizeof remainder), data, size);
}

#else

bool CarrylessMultiplyAvailable() { return false; }
uint32_t ChecksumUpdateByCarrylessMultiply(uint32_t crc, const unsigned char* data, size_t size) {
    return ChecksumUpdateByTable(crc, data, size);
}

#endif  // CVX_HAVE_CARRYLESS_MULTIPLY

uint32_t ChecksumUpdate(uint32_t crc, const unsigned char* data, size_t size) {
    return CarrylessMultiplyAvailable() ? ChecksumUpdateByCarrylessMultiply(crc, data, size)
                                        : ChecksumUpdateByTable(crc, data, size);
}

uint32_t PageChecksum(const unsigned char* header, size_t headerSize, const unsigned char* body, size_t bodySize) {
    static constexpr unsigned char kZeros[kOggChecksumSize] = {};
    const size_t afterChecksum = kOggChecksumOffset + kOggChecksumSize;
    uint32_t crc = ChecksumUpdateByTable(0, header, kOggChecksumOffset);
    crc = ChecksumUpdateByTable(crc, kZeros, kOggChecksumSize);
    crc = ChecksumUpdateByTable(crc, header + afterChecksum, headerSize - afterChecksum);
    return ChecksumUpdate(crc, body, bodySize);
}

}  // namespace cvx::ogg

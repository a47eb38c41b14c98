// A Vorbis setup packet written field by field from a fuzz input's choices:
// books with their lengths and lookups, floors of both types, residues,
// mappings and modes, each value mostly in range and now and then just
// outside it or anything.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>
#include <ogg/ogg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace cvx::fuzz {

inline int ILog(uint32_t v) {
    int bits = 0;
    for (; v != 0; v >>= 1) ++bits;
    return bits;
}

// _book_maptype1_quantvals: the largest v whose dim-th power is at most
// entries, from the root as a double and moved to the exact answer.
inline long Maptype1Values(long entries, long dim) {
    if (entries < 1 || dim < 1) return 0;
    const auto fits = [&](long v) {  // v^dim <= entries
        long power = 1;
        for (long i = 0; i < dim; ++i) {
            if (power > entries / v) return false;
            power *= v;
        }
        return true;
    };
    long values = std::max(1L, static_cast<long>(std::pow(static_cast<double>(entries), 1.0 / static_cast<double>(dim))));
    while (values > 1 && !fits(values)) --values;
    while (fits(values + 1)) ++values;
    return values;
}

// Writes a setup packet from the recipe's choices. Each field is mostly in
// range, so that most packets are ones libvorbis takes; a recipe may ask for
// fields out of range now and then, and for the packet cut short.
class SetupWriter {
public:
    SetupWriter(FuzzedDataProvider& recipe, int channels) : recipe_(recipe), channels_(channels) {
        oggpack_writeinit(&out_);
        breakOneIn_ = recipe_.ConsumeIntegralInRange<int>(0, 3) * 32;  // 0: never
    }
    ~SetupWriter() { oggpack_writeclear(&out_); }
    SetupWriter(const SetupWriter&) = delete;
    SetupWriter& operator=(const SetupWriter&) = delete;

    std::vector<unsigned char> Write() {
        Put(5, 8);
        for (const char c : std::string("vorbis")) Put(static_cast<unsigned char>(c), 8);
        const int books = Count(8, 1, 5);
        for (int i = 0; i < books; ++i) Codebook();
        const int times = Count(6, 1, 2);
        for (int i = 0; i < times; ++i) Put(Value(0, 0, 16), 16);
        const int floors = Count(6, 1, 3);
        for (int i = 0; i < floors; ++i) {
            const unsigned long type = Value(0, 1, 16);
            Put(type, 16);
            type == 0 ? Floor0() : Floor1();
        }
        const int residues = Count(6, 1, 3);
        for (int i = 0; i < residues; ++i) {
            Put(Value(0, 2, 16), 16);
            Residue();
        }
        const int mappings = Count(6, 1, 3);
        for (int i = 0; i < mappings; ++i) {
            Put(Value(0, 0, 16), 16);
            Mapping(floors, residues);
        }
        const int modes = Count(6, 1, 8);
        for (int i = 0; i < modes; ++i) {
            Put(recipe_.ConsumeBool(), 1);
            Put(Value(0, 0, 16), 16);
            Put(Value(0, 0, 16), 16);
            Put(Value(0, static_cast<unsigned long>(mappings - 1), 8), 8);
        }
        Put(Value(1, 1, 1), 1);
        long bytes = oggpack_bytes(&out_);
        if (breakOneIn_ > 0 && recipe_.ConsumeIntegralInRange<int>(0, 7) == 0) {
            bytes = recipe_.ConsumeIntegralInRange<long>(0, bytes);
        }
        return std::vector<unsigned char>(out_.buffer, out_.buffer + bytes);
    }

private:
    struct Book {
        unsigned long dim, entries, maptype;
    };

    void Put(unsigned long value, int bits) { oggpack_write(&out_, value, bits); }

    // A value in [low, high]; where the recipe breaks fields, now and then
    // one just outside the range (where a check that is one off differs)
    // or any `bits`-bit value.
    unsigned long Value(unsigned long low, unsigned long high, int bits) {
        const unsigned long mask = bits >= 32 ? 0xFFFFFFFFul : (1ul << bits) - 1;
        if (breakOneIn_ > 0 && recipe_.ConsumeIntegralInRange<int>(0, breakOneIn_ - 1) == 0) {
            switch (recipe_.ConsumeIntegralInRange<int>(0, 2)) {
                case 0: return (low - 1) & mask;
                case 1: return (std::max(low, high) + 1) & mask;
                default: return recipe_.ConsumeIntegral<uint32_t>() & mask;
            }
        }
        return recipe_.ConsumeIntegralInRange<unsigned long>(low, std::max(low, high));
    }

    // A count field written as count - 1 in `bits` bits; the count.
    int Count(int bits, int low, int high) {
        const unsigned long written = Value(static_cast<unsigned long>(low - 1), static_cast<unsigned long>(high - 1), bits);
        Put(written, bits);
        return static_cast<int>(std::min<unsigned long>(written + 1, 64));
    }

    // The books fit for a use: with a value lookup, or with `entries` at
    // least.
    std::vector<unsigned long> Fitting(bool withLookup, unsigned long leastEntries = 0) const {
        std::vector<unsigned long> fitting;
        for (unsigned long i = 0; i < books_.size(); ++i) {
            if ((!withLookup || books_[i].maptype != 0) && books_[i].entries >= leastEntries && books_[i].dim >= 1) {
                fitting.push_back(i);
            }
        }
        return fitting;
    }

    unsigned long PickBook(bool withLookup, unsigned long leastEntries = 0) {
        return PickFrom(Fitting(withLookup, leastEntries));
    }

    // Mostly one of `fitting`.
    unsigned long PickFrom(const std::vector<unsigned long>& fitting) {
        const unsigned long last = books_.empty() ? 0 : books_.size() - 1;
        if (fitting.empty()) return Value(0, last, 8);
        return Value(fitting[recipe_.ConsumeIntegralInRange<size_t>(0, fitting.size() - 1)],
                     fitting[recipe_.ConsumeIntegralInRange<size_t>(0, fitting.size() - 1)], 8) % 256;
    }

    void Codebook() {
        Put(Value(0x564342, 0x564342, 24), 24);
        const unsigned long dim = Value(1, 4, 16), entries = Value(1, 300, 24);
        Put(dim, 16);
        Put(entries, 24);
        const long written = static_cast<long>(std::min<unsigned long>(entries, 2000));
        const bool ordered = recipe_.ConsumeBool();
        Put(ordered, 1);
        if (!ordered) {
            const bool sparse = recipe_.ConsumeBool();
            Put(sparse, 1);
            for (long i = 0; i < written; ++i) {
                const bool used = !sparse || recipe_.ConsumeBool();
                if (sparse) Put(used, 1);
                if (used) Put(Value(0, 15, 5), 5);
            }
        } else {
            // Runs of ascending lengths, none longer than its length allows.
            unsigned long length = Value(0, 5, 5) + 1;
            Put(length - 1, 5);
            for (long i = 0; i < written; ++length) {
                const int bits = ILog(static_cast<uint32_t>(written - i));
                const unsigned long most = std::min<unsigned long>(static_cast<unsigned long>(written - i),
                                                                   length >= 32 ? 0xFFFFFFFFul : 1ul << length);
                const unsigned long run = Value(length < 6 ? 0 : 1, most, bits);
                Put(run, bits);
                i += static_cast<long>(run);
                if (length > 32) break;
            }
        }
        const unsigned long maptype = Value(0, 2, 4);
        Put(maptype, 4);
        if (maptype == 1 || maptype == 2) {
            Put(recipe_.ConsumeIntegral<uint32_t>(), 32);
            Put(recipe_.ConsumeIntegral<uint32_t>(), 32);
            const unsigned long quant = Value(0, 7, 4);
            Put(quant, 4);
            Put(recipe_.ConsumeBool(), 1);
            const long values = maptype == 1 ? Maptype1Values(static_cast<long>(entries), static_cast<long>(dim))
                                             : static_cast<long>(entries * dim);
            const long writtenValues = std::min<long>(values, 4000);
            for (long i = 0; i < writtenValues; ++i) Put(recipe_.ConsumeIntegral<uint32_t>(), static_cast<int>(quant + 1));
        }
        books_.push_back({dim, entries, maptype});
    }

    void Floor0() {
        Put(Value(1, 30, 8), 8);
        Put(Value(1, 44100, 16), 16);
        Put(Value(1, 256, 16), 16);
        Put(Value(0, 63, 6), 6);
        Put(Value(0, 255, 8), 8);
        const int numbooks = Count(4, 1, 4);
        for (int j = 0; j < numbooks; ++j) Put(PickBook(true), 8);
    }

    void Floor1() {
        const unsigned long partitions = Value(0, 6, 5);
        Put(partitions, 5);
        std::vector<unsigned long> partitionClasses;
        unsigned long classes = 0;
        for (unsigned long j = 0; j < partitions; ++j) {
            const unsigned long partitionClass = Value(0, 3, 4);
            Put(partitionClass, 4);
            partitionClasses.push_back(partitionClass);
            classes = std::max(classes, partitionClass + 1);
        }
        std::vector<unsigned long> classDims;
        for (unsigned long j = 0; j < classes; ++j) {
            const unsigned long dim = Value(0, 3, 3), subs = Value(0, 2, 2);
            Put(dim, 3);
            Put(subs, 2);
            classDims.push_back(dim + 1);
            if (subs) Put(PickBook(false), 8);
            for (unsigned long k = 0; k < (1ul << subs); ++k) Put(Value(0, books_.size(), 8), 8);
        }
        Put(Value(0, 3, 2), 2);
        const unsigned long rangeBits = Value(8, 10, 4);
        Put(rangeBits, 4);
        unsigned long posts = 0;
        for (unsigned long partitionClass : partitionClasses) posts += classDims[partitionClass];
        // Distinct posts within the range, now and then one repeated.
        for (unsigned long k = 0; k < std::min(posts, 70ul); ++k) {
            Put(Value(2 + 3 * k, 2 + 3 * k, static_cast<int>(rangeBits)), static_cast<int>(rangeBits));
        }
    }

    void Residue() {
        Put(Value(0, 100, 24), 24);
        Put(Value(100, 500, 24), 24);
        Put(Value(0, 31, 24), 24);
        const int partitions = Count(6, 1, 4);
        // The group book needs an entry for every partitioning it names.
        unsigned long groupBook = PickBook(false);
        if (groupBook < books_.size()) {
            unsigned long needed = 1;
            for (unsigned long d = 0; d < books_[groupBook].dim && needed <= 100000; ++d) {
                needed *= static_cast<unsigned long>(partitions);
            }
            groupBook = PickBook(false, needed);
        }
        Put(groupBook, 8);
        int stageBooks = 0;
        for (int j = 0; j < partitions; ++j) {
            const unsigned long low = Value(0, 7, 3);
            Put(low, 3);
            const bool high = recipe_.ConsumeIntegralInRange<int>(0, 3) == 0;
            Put(high, 1);
            unsigned long cascade = low;
            if (high) {
                const unsigned long bits = Value(0, 31, 5);
                Put(bits, 5);
                cascade |= bits << 3;
            }
            for (; cascade != 0; cascade &= cascade - 1) ++stageBooks;
        }
        const std::vector<unsigned long> withLookup = Fitting(true);
        for (int j = 0; j < stageBooks; ++j) Put(PickFrom(withLookup), 8);
    }

    void Mapping(int floors, int residues) {
        const bool manySubmaps = recipe_.ConsumeBool();
        Put(manySubmaps, 1);
        int submaps = 1;
        if (manySubmaps) submaps = Count(4, 1, 3);
        const bool coupled = channels_ > 1 && recipe_.ConsumeBool();
        Put(Value(coupled, coupled, 1), 1);
        if (coupled) {
            const int steps = Count(8, 1, 2);
            const int bits = ILog(static_cast<uint32_t>(channels_ - 1));
            for (int i = 0; i < steps; ++i) {
                const unsigned long magnitude = Value(0, static_cast<unsigned long>(channels_ - 2), bits);
                Put(magnitude, bits);
                Put(Value(magnitude + 1, static_cast<unsigned long>(channels_ - 1), bits), bits);
            }
        }
        Put(Value(0, 0, 2), 2);
        if (submaps > 1) {
            for (int i = 0; i < channels_; ++i) Put(Value(0, static_cast<unsigned long>(submaps - 1), 4), 4);
        }
        for (int i = 0; i < submaps; ++i) {
            Put(recipe_.ConsumeIntegral<uint8_t>(), 8);
            Put(Value(0, static_cast<unsigned long>(floors - 1), 8), 8);
            Put(Value(0, static_cast<unsigned long>(residues - 1), 8), 8);
        }
    }

    FuzzedDataProvider& recipe_;
    int channels_;
    int breakOneIn_ = 0;
    std::vector<Book> books_;
    oggpack_buffer out_;
};

}  // namespace cvx::fuzz

// Where the MP4 readers find what they read (ISO/IEC 14496-12; Apple's
// QuickTime File Format for the item list). Every box ("atom") begins
// with a header: size u32 BE (1: a u64 BE size follows the type; 0: to the
// end of the file), type 4 bytes. Offsets below are from the box's start.
#pragma once

#include <cstdint>

namespace cvx::m4a {

inline constexpr long kAtomHeaderSize = 8;        // size u32, type[4]
inline constexpr long kLargeSizeFieldSize = 8;    // u64 after the type when size is 1
inline constexpr uint32_t kSizeToTheEnd = 0;
inline constexpr uint32_t kSizeInLargeField = 1;

// Container boxes whose children TagLib reads (MP4::Atom::containers).
inline constexpr const char* kContainerTypes[] = {"moov", "udta", "mdia", "meta", "ilst", "stbl",
                                                 "minf", "moof", "traf", "trak", "stsd"};
// meta is a full box (version u8, flags u24 after the header) unless its
// first child's type follows the header at once; stsd's children follow
// version, flags and an entry count u32.
inline constexpr long kMetaFullBoxFields = 4;
inline constexpr long kStsdFields = 8;
inline constexpr const char* kMetaChildTypes[] = {"hdlr", "ilst", "mhdr", "ctry", "lang"};

// hdlr: header, version/flags u32, pre_defined u32, handler_type[4] at 16.
inline constexpr long kHandlerTypeOffset = 16;
inline constexpr char kSoundHandler[] = "soun";

// mdhd: header, version u8 at 8, flags u24; version 0: creation u32,
// modification u32, timescale u32 at 20, duration u32 at 24 (32 bytes in
// all); version 1: creation u64, modification u64, timescale u32 at 28,
// duration u64 at 32 (44 bytes).
inline constexpr long kMediaHeaderVersionOffset = 8;
inline constexpr long kTimescaleOffsetV0 = 20;
inline constexpr long kDurationOffsetV0 = 24;
inline constexpr long kMediaHeaderSizeV0 = 32;
inline constexpr long kTimescaleOffsetV1 = 28;
inline constexpr long kDurationOffsetV1 = 32;
inline constexpr long kMediaHeaderSizeV1 = 44;

}  // namespace cvx::m4a

#pragma once
// The one match copy. A match of `length` bytes repeats the bytes `distance` back as a forward
// byte copy would: where source and destination overlap, the bytes just written come again. Every
// loop copies matches through here, in one of two ways:
//  - CopyMatch, for a source the stream has written, behind the write position: in 8-, 16- and
//    32-byte steps where the distance allows. With kOverrun (direct output's fast loop) a copy may
//    write up to 31 bytes past the match's end; without, no byte past the end changes (the window
//    ahead of the write position still holds bytes that offsets near the window size read),
//    though up to 16 bytes past it are read and written back as they were.
//  - CopyMatchCarefully, byte by byte, for a source that may reach bytes the stream has not
//    written: those read as zeros.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vykcn::lzx {

constexpr ptrdiff_t kMatchOverrun = 32;  // more than CopyMatch<true> writes past a match's end

// The distance a match at `offset` reads from, in a window of W = mask + 1: 1..W. The window
// decoder's source position (pos - offset) mod W is that far back, or W - distance ahead.
inline uint32_t MatchDistance(uint32_t offset, uint32_t mask) { return ((offset - 1) & mask) + 1; }

inline void CopyWord(uint8_t* dst, const uint8_t* src) {
  uint64_t word;
  std::memcpy(&word, src, 8);
  std::memcpy(dst, &word, 8);
}

inline void CopyWide(uint8_t* dst, const uint8_t* src) {
  uint8_t bytes[16];
  std::memcpy(bytes, src, 16);
  std::memcpy(dst, bytes, 16);
}

// For a short match of `length` (0..16) bytes: the byte masks of its first and second 8-byte word
// (little-endian, the first bytes low), built once.
struct ShortMatchMasks {
  uint64_t word[17][2];
};

constexpr ShortMatchMasks MakeShortMatchMasks() {
  ShortMatchMasks masks{};
  for (uint32_t length = 0; length <= 16; ++length) {
    const uint32_t first = length < 8 ? length : 8;
    const uint32_t second = length - first;
    masks.word[length][0] = first == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * first)) - 1;
    masks.word[length][1] = second == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * second)) - 1;
  }
  return masks;
}

inline constexpr ShortMatchMasks kShortMatchMasks = MakeShortMatchMasks();

// One word of a short match: the fresh bytes under `mask`, the old ones elsewhere.
inline void MergeWord(uint8_t* dst, const uint8_t* src, uint64_t mask) {
  uint64_t fresh, old;
  std::memcpy(&fresh, src, 8);
  std::memcpy(&old, dst, 8);
  const uint64_t merged = (fresh & mask) | (old & ~mask);
  std::memcpy(dst, &merged, 8);
}

// `distance` <= the bytes written behind `dst`.
template <bool kOverrun>
inline void CopyMatch(uint8_t* dst, uint32_t distance, uint32_t length) {
  const uint8_t* src = dst - distance;
  uint8_t* const end = dst + length;
  if (!kOverrun && length <= 16 && distance >= 8) {
    // Most matches: two merged words, without a branch on the length. The second word's source
    // lies at least 8 bytes behind its destination, so it reads bytes the first store made final.
    MergeWord(dst, src, kShortMatchMasks.word[length][0]);
    MergeWord(dst + 8, src + 8, kShortMatchMasks.word[length][1]);
  } else if (distance >= 16 && (kOverrun || length >= 16)) {
    // Each step reads bytes already final: they lie at least a step behind the write. Most
    // matches are at most 32 bytes long: the overrun copy takes two steps without a test.
    if (kOverrun) {
      CopyWide(dst, src);
      CopyWide(dst + 16, src + 16);
      dst += 32;
      src += 32;
    }
    for (; end - dst >= 16; dst += 16, src += 16) CopyWide(dst, src);
    if (dst < end) kOverrun ? CopyWide(dst, src) : CopyWide(end - 16, end - 16 - distance);
  } else if (distance >= 8) {
    for (; end - dst >= 8; dst += 8, src += 8) CopyWord(dst, src);
    if (dst < end) kOverrun ? CopyWord(dst, src) : CopyWord(end - 8, end - 8 - distance);
  } else if (distance == 1) {
    if (!kOverrun) {
      std::memset(dst, *src, length);
      return;
    }
    const uint64_t run = src[0] * uint64_t{0x0101010101010101};
    for (; dst < end; dst += 8) std::memcpy(dst, &run, 8);
  } else {
    while (dst < end) *dst++ = *src++;
  }
}

// Byte i of the match goes to base[pos + i] from the position `distance` back: the stream's byte
// where it has written it, and otherwise a byte `older` positions further on (a window keeps its
// last pass there, below `filled`; for direct output `older` is 0 and so is `filled`), masked with
// `mask`, or zero.
inline void CopyMatchCarefully(uint8_t* base, size_t pos, uint32_t distance, uint32_t length, size_t older,
                               size_t mask, size_t filled) {
  for (uint32_t i = 0; i < length; ++i) {
    const size_t at = pos + i;
    const size_t from = (at + older - distance) & mask;
    base[at] = (at >= distance || from < filled) ? base[from] : 0;
  }
}

}  // namespace vykcn::lzx

#pragma once
// The one match copy. A match of `length` bytes repeats the bytes `distance` back as a forward
// byte copy would: where source and destination overlap, the bytes just written come again.
//  - CopyMatch, for a source the stream has written, behind the write position: in 8-, 16- and
//    32-byte steps where the distance allows. With kOverrun (the fast loop) it may write up to 31
//    bytes past the match's end; without, no byte past the end changes (the window ahead of the
//    write position holds bytes that offsets near W read), though up to 16 are read and rewritten.
//  - CopyMatchCarefully, byte by byte, for a source that may reach bytes the stream has not
//    written: those read as zeros.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vykcn::lzx {

constexpr ptrdiff_t kMatchOverrun = 32;  // more than CopyMatch<true> writes past a match's end

// The distance (1..W) a match at `offset` reads from in a window of W = mask + 1: its window
// position (pos - offset) mod W is that far back, or W - distance ahead.
inline uint32_t MatchDistance(uint32_t offset, uint32_t mask) { return ((offset - 1) & mask) + 1; }

template <size_t kBytes>
inline void CopyStep(uint8_t* dst, const uint8_t* src) {
  uint8_t bytes[kBytes];
  std::memcpy(bytes, src, kBytes);
  std::memcpy(dst, bytes, kBytes);
}

// The fresh bytes of the word at `src` under `mask` into the word at `dst`, its other bytes kept.
inline void MergeWord(uint8_t* dst, const uint8_t* src, uint64_t mask) {
  uint64_t fresh, old;
  std::memcpy(&fresh, src, 8);
  std::memcpy(&old, dst, 8);
  const uint64_t merged = (fresh & mask) | (old & ~mask);
  std::memcpy(dst, &merged, 8);
}

// `distance` is at most the bytes the stream has written behind `dst`.
template <bool kOverrun>
inline void CopyMatch(uint8_t* dst, uint32_t distance, uint32_t length) {
  const uint8_t* src = dst - distance;
  uint8_t* const end = dst + length;
  if (!kOverrun && length <= 16 && distance >= 8) {
    // Most matches: two merged words (little-endian: the first bytes low) without a branch on the
    // length. The second word's source lies 8 or more behind it: the first store made it final.
    const unsigned low = length < 8 ? length : 8;
    MergeWord(dst, src, ~uint64_t{0} >> (64 - 8 * low));
    MergeWord(dst + 8, src + 8, length > 8 ? ~uint64_t{0} >> (128 - 8 * length) : 0);
  } else if (distance >= 16 && kOverrun) {
    // Each step reads bytes already final: they lie at least a step behind the write. Most
    // matches are at most 32 bytes long: two steps without a test.
    CopyStep<16>(dst, src);
    CopyStep<16>(dst + 16, src + 16);
    for (dst += 32, src += 32; dst < end; dst += 16, src += 16) CopyStep<16>(dst, src);
  } else if (distance >= 8 && kOverrun) {
    do CopyStep<8>(dst, src), dst += 8, src += 8;
    while (dst < end);
  } else if (distance >= 16 && length >= 16) {  // the exact copies' last step ends at the match's end
    for (; end - dst >= 16; dst += 16, src += 16) CopyStep<16>(dst, src);
    if (dst < end) CopyStep<16>(end - 16, end - 16 - distance);
  } else if (distance >= 8) {
    for (; end - dst >= 8; dst += 8, src += 8) CopyStep<8>(dst, src);
    if (dst < end) CopyStep<8>(end - 8, end - 8 - distance);
  } else if (distance == 1 && !kOverrun) {
    std::memset(dst, *src, length);
  } else if (distance == 1) {
    const uint64_t run = src[0] * uint64_t{0x0101010101010101};
    do std::memcpy(dst, &run, 8), dst += 8;
    while (dst < end);
  } else {
    do *dst++ = *src++;
    while (dst < end);
  }
}

// Byte i of the match goes to base[pos + i] from `distance` back: the stream's byte where it has
// written it, else the byte `older` positions further on where a window keeps its last pass (below
// `filled`; direct output has none: `older` and `filled` are 0), masked with `mask`, else zero.
inline void CopyMatchCarefully(uint8_t* base, size_t pos, uint32_t distance, uint32_t length, size_t older,
                               size_t mask, size_t filled) {
  for (uint32_t i = 0; i < length; ++i) {
    const size_t at = pos + i;
    const size_t from = (at + older - distance) & mask;
    base[at] = (at >= distance || from < filled) ? base[from] : 0;
  }
}

}  // namespace vykcn::lzx

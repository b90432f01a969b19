#pragma once
// How far two byte strings agree, eight bytes at a time: the match finder and the parser extend
// every candidate with it, and long text matches make a byte loop their hottest code.
#include <cstdint>
#include <cstring>

namespace vykcn::lzx {

// The length of the common prefix of `a` and `b`, counted from `length` (already known to agree)
// up to at most `max`. Reads up to 7 bytes past a + max and b + max, which the encoder pads for.
inline uint32_t ExtendMatch(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t max) {
  while (length < max) {
    uint64_t x, y;
    std::memcpy(&x, a + length, 8);
    std::memcpy(&y, b + length, 8);
    if (const uint64_t diff = x ^ y; diff != 0) {
#if defined(__GNUC__) || defined(__clang__)
      length += static_cast<uint32_t>(__builtin_ctzll(diff)) >> 3;  // little-endian: lowest byte first
#else
      for (uint64_t d = diff; (d & 0xFF) == 0; d >>= 8) ++length;
#endif
      return length < max ? length : max;
    }
    length += 8;
  }
  return max;
}

}  // namespace vykcn::lzx

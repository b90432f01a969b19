#pragma once
// Copying an LZ match inside the window with the result of a byte-by-byte forward copy, but in
// 8- and 16-byte words where the distance allows. No byte past dst + length changes (the window
// ahead of the write position still holds data that offsets near the window size refer to).
#include <cstdint>
#include <cstring>

namespace vykcn::lzx {

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

// For a short match of `length` (0..16) bytes: the byte masks of its first and second 8-byte
// word (little-endian, the first bytes low), built once.
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

// A match of 2 to 16 bytes at a distance of at least 8 (src + 8 <= dst), with 16 bytes at dst
// inside the window: two merged words, without a branch on the length. The second word's source
// lies at least 8 bytes behind its destination, so it reads bytes the first store made final
// where they overlap, as a forward byte copy would.
inline void CopyShortMatch(uint8_t* dst, const uint8_t* src, uint32_t length) {
  const uint64_t lowMask = kShortMatchMasks.word[length][0];
  const uint64_t highMask = kShortMatchMasks.word[length][1];
  uint64_t fresh, old;
  std::memcpy(&fresh, src, 8);
  std::memcpy(&old, dst, 8);
  const uint64_t low = (fresh & lowMask) | (old & ~lowMask);
  std::memcpy(dst, &low, 8);
  std::memcpy(&fresh, src + 8, 8);
  std::memcpy(&old, dst + 8, 8);
  const uint64_t high = (fresh & highMask) | (old & ~highMask);
  std::memcpy(dst + 8, &high, 8);
}

// The window must be readable and writable for 7 bytes past dst and src (the mirror and slack
// guarantee that); bytes past dst + length are written back unchanged.
inline void CopyMatch(uint8_t* dst, const uint8_t* src, uint32_t length) {
  if (src < dst) {
    const uintptr_t distance = static_cast<uintptr_t>(dst - src);
    if (distance >= 16 && length >= 16) {
      uint32_t i = 0;
      for (; i + 16 <= length; i += 16) CopyWide(dst + i, src + i);
      if (i < length) CopyWide(dst + length - 16, src + length - 16);
      return;
    }
    if (distance >= 8) {
      // Each word reads bytes that are already final (they lie at least 8 behind the writes).
      if (length >= 8) {
        uint32_t i = 0;
        for (; i + 8 <= length; i += 8) CopyWord(dst + i, src + i);
        if (i < length) CopyWord(dst + length - 8, src + length - 8);
        return;
      }
      // Short match: merge the new bytes into the word at dst, keeping the bytes after it.
      uint64_t fresh, old;
      std::memcpy(&fresh, src, 8);
      std::memcpy(&old, dst, 8);
      const uint64_t mask = (uint64_t{1} << (8 * length)) - 1;  // little-endian: first bytes low
      const uint64_t merged = (fresh & mask) | (old & ~mask);
      std::memcpy(dst, &merged, 8);
      return;
    }
    if (distance == 1) {
      std::memset(dst, *src, length);
      return;
    }
    for (uint32_t i = 0; i < length; ++i) dst[i] = src[i];
    return;
  }
  if (src == dst) return;  // offset 0 (only from a corrupt header): the bytes stay as they are
  // The source lies ahead (a source that wrapped around the window). A forward byte copy reads
  // each source byte before it is overwritten, which is exactly what memmove gives.
  std::memmove(dst, src, length);
}

}  // namespace vykcn::lzx

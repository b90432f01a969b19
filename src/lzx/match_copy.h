#pragma once
// Copying an LZ match inside the window with the result of a byte-by-byte forward copy, but in
// 8-byte words where the distance allows. Nothing is written past dst + length (the window ahead
// of the write position still holds data that large offsets refer to), and nothing is read
// outside [src, src + length).
#include <cstdint>
#include <cstring>

namespace vykcn {

inline void CopyWord(uint8_t* dst, const uint8_t* src) {
  uint64_t word;
  std::memcpy(&word, src, 8);
  std::memcpy(dst, &word, 8);
}

inline void CopyMatch(uint8_t* dst, const uint8_t* src, uint32_t length) {
  if (src < dst) {
    const uintptr_t distance = static_cast<uintptr_t>(dst - src);
    if (distance >= 8) {
      // Each word reads bytes that are already final (they lie at least 8 behind the writes).
      if (length >= 8) {
        uint32_t i = 0;
        for (; i + 8 <= length; i += 8) CopyWord(dst + i, src + i);
        if (i < length) CopyWord(dst + length - 8, src + length - 8);
        return;
      }
    } else if (distance == 1) {
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

}  // namespace vykcn

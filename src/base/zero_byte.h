#pragma once
// Finding a text's terminating 0 byte eight bytes at a time, without reading past a bound. The
// C runtime's memchr is fast on some platforms and a byte loop on others (the module's), and the
// translation image's walk calls it once per record, on texts of a few dozen bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vykcn {

// The first 0 byte in [p, p + n), or null.
inline const uint8_t* FindZeroByte(const uint8_t* p, size_t n) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  const uint8_t* const end = p + n;
  for (; end - p >= 8; p += 8) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    // A byte's high bit is set here if it is 0 or lies above a 0 byte (the borrow runs upwards),
    // so the lowest set bit marks the first 0 byte. The load is little-endian (x86-64).
    const uint64_t zeros = (word - kOnes) & ~word & kHighBits;
    if (zeros != 0) return p + (__builtin_ctzll(zeros) >> 3);
  }
  for (; p < end; ++p) {
    if (*p == 0) return p;
  }
  return nullptr;
}

}  // namespace vykcn

#pragma once
// Layout of the decompressed translation image (the content of resource 102):
//   u32 record count, then per record: u32 hash, the translation's bytes, one 0 byte.
// Little-endian, unaligned, no padding.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vykcn {

constexpr size_t kImageCountSize = 4;   // record count at offset 0
constexpr size_t kRecordHashSize = 4;   // hash at the start of each record

inline uint32_t ReadU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void WriteU32LE(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace vykcn

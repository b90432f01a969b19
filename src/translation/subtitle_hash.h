#pragma once
// The 32-bit key under which a host text's translation is stored.
#include <cstddef>
#include <cstdint>

namespace vykcn {

// h = h * 131 + (signed char)byte, modulo 2^32, over the text's bytes (terminator excluded).
// Bytes 0x80..0xFF count negative: the single byte 0xE9 hashes to 0xFFFFFFE9.
inline uint32_t SubtitleHashStep(uint32_t h, char byte) {
  return h * 131u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(byte)));
}

inline uint32_t SubtitleHashBytes(const void* data, size_t length) {
  const char* bytes = static_cast<const char*>(data);
  uint32_t h = 0;
  for (size_t i = 0; i < length; ++i) h = SubtitleHashStep(h, bytes[i]);
  return h;
}

// Hash of a NUL-terminated text.
inline uint32_t SubtitleHash(const char* text) {
  uint32_t h = 0;
  for (; *text != '\0'; ++text) h = SubtitleHashStep(h, *text);
  return h;
}

}  // namespace vykcn

#pragma once
// The 32-bit key under which a host text's translation is stored.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vykcn {

// h = h * 131 + (signed char)byte, modulo 2^32, over the text's bytes (terminator excluded).
// Bytes 0x80..0xFF count negative: the single byte 0xE9 hashes to 0xFFFFFFE9.
inline uint32_t SubtitleHashStep(uint32_t h, char byte) {
  return h * 131u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(byte)));
}

// The same rule, continued from `h` over `length` bytes. Four steps at a time are one
// multiply-add on h: h * 131^4 + (b0 * 131^3 + b1 * 131^2 + b2 * 131 + b3), all modulo 2^32. The
// bytes' part does not wait for h, so a text costs about a cycle a byte instead of four (the
// byte-at-a-time chain waits on a multiply and an add per byte).
inline uint32_t SubtitleHashContinue(uint32_t h, const void* data, size_t length) {
  constexpr uint32_t k1 = 131u, k2 = k1 * k1, k3 = k2 * k1, k4 = k3 * k1;
  const char* bytes = static_cast<const char*>(data);
  const auto b = [bytes](size_t i) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(bytes[i])));
  };
  size_t i = 0;
  for (; i + 4 <= length; i += 4) h = h * k4 + (b(i) * k3 + b(i + 1) * k2 + b(i + 2) * k1 + b(i + 3));
  for (; i < length; ++i) h = SubtitleHashStep(h, bytes[i]);
  return h;
}

inline uint32_t SubtitleHashBytes(const void* data, size_t length) { return SubtitleHashContinue(0, data, length); }

// Hash of a NUL-terminated text.
inline uint32_t SubtitleHash(const char* text) { return SubtitleHashBytes(text, std::strlen(text)); }

}  // namespace vykcn

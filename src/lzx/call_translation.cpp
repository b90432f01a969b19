// Copying a finished chunk to the caller and undoing the compressor's x86 call translation on the
// copy: the compressor turned the relative 32-bit operand after each 0xE8 byte into an absolute
// one (relative + stream offset); here it is turned back. The window keeps the untranslated bytes,
// since later matches copy from them.
#include <cstring>

#include "lzx/decoder/lzx_decoder.h"
#include "base/byte_order.h"

namespace vykcn {

namespace {

constexpr uint32_t kSentinelBytes = 6;

}  // namespace

void TranslateCalls(LzxDecoder& d, uint8_t* data, uint32_t n) {
  if (n <= kSentinelBytes) {
    d.translationOffset += n;
    return;
  }
  // Six 0xE8 sentinels at the end stop the scan without a bound test; the real bytes come back.
  uint8_t saved[kSentinelBytes];
  std::memcpy(saved, data + n - kSentinelBytes, kSentinelBytes);
  std::memset(data + n - kSentinelBytes, lzx::kCallOpcode, kSentinelBytes);

  const uint32_t start = d.translationOffset;
  const uint32_t size = d.translationSize;
  const int64_t limit = static_cast<int64_t>(n) - lzx::kTranslationTail;  // no operand reaches the tail
  uint8_t* p = data;
  for (;;) {
    p = static_cast<uint8_t*>(std::memchr(p, lzx::kCallOpcode, data + n - p));
    const int64_t i = p - data;
    if (i >= limit) break;
    const uint32_t position = start + static_cast<uint32_t>(i);
    const uint32_t value = ReadU32LE(p + 1);
    if (value < size) {
      WriteU32LE(p + 1, value - position);
    } else if (0u - value <= position) {
      WriteU32LE(p + 1, value + size);
    }
    p += 5;  // the operand bytes are never taken for an opcode
  }

  std::memcpy(data + n - kSentinelBytes, saved, kSentinelBytes);
  d.translationOffset = start + n;
}

void EmitChunk(LzxDecoder& d, uint32_t count, const uint8_t* source) {
  if (count == 0) return;
  const bool translate = d.translationSize != 0 && d.chunkCount < lzx::kTranslationChunkLimit;
  if (source != d.outputCursor) std::memcpy(d.outputCursor, source, count);
  if (translate) TranslateCalls(d, d.outputCursor, count);
}

}  // namespace vykcn

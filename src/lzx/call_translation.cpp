// Both directions of call translation share the decoder's scan, so the encoder changes exactly
// the operands the decoder will look at.
#include "lzx/call_translation.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

namespace {

constexpr uint32_t kSentinelBytes = 6;

// Calls rewrite(operand, position) for every 0xE8 the scan stops at in a chunk of n bytes
// (n > kSentinelBytes); `position` is the opcode's index in the chunk.
template <typename Rewrite>
void ForEachCall(uint8_t* chunk, uint32_t n, Rewrite rewrite) {
  // Six 0xE8 sentinels at the end stop the scan without a bound test; the real bytes come back.
  uint8_t saved[kSentinelBytes];
  std::memcpy(saved, chunk + n - kSentinelBytes, kSentinelBytes);
  std::memset(chunk + n - kSentinelBytes, kCallOpcode, kSentinelBytes);

  const int64_t limit = static_cast<int64_t>(n) - kCallTranslationTail;  // no operand reaches the tail
  uint8_t* p = chunk;
  for (;;) {
    p = static_cast<uint8_t*>(std::memchr(p, kCallOpcode, chunk + n - p));
    const int64_t i = p - chunk;
    if (i >= limit) break;
    rewrite(p + 1, static_cast<uint32_t>(i));
    p += 5;  // the operand bytes are never taken for an opcode
  }

  std::memcpy(chunk + n - kSentinelBytes, saved, kSentinelBytes);
}

}  // namespace

void ApplyCallTranslation(uint8_t* data, size_t size, uint32_t callTranslationSize) {
  if (callTranslationSize == 0) return;
  const int64_t fileSize = callTranslationSize;
  for (size_t chunk = 0; chunk < kCallTranslationChunkLimit && chunk * kFrameSize < size; ++chunk) {
    const size_t start = chunk * kFrameSize;
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(kFrameSize, size - start));
    if (n <= kCallTranslationTail) break;
    ForEachCall(data + start, n, [&](uint8_t* operand, uint32_t index) {
      const int64_t position = static_cast<int64_t>(start + index);
      const int32_t relative = static_cast<int32_t>(ReadU32LE(operand));
      // Only operands the decoder turns back: targets inside [0, fileSize) from here.
      if (relative >= -position && relative < fileSize) {
        const int64_t absolute = relative < fileSize - position ? relative + position : relative - fileSize;
        WriteU32LE(operand, static_cast<uint32_t>(absolute));
      }
    });
  }
}

void UndoCallTranslation(uint8_t* chunk, uint32_t n, uint32_t chunkOffset, uint32_t callTranslationSize) {
  if (n <= kSentinelBytes) return;
  ForEachCall(chunk, n, [&](uint8_t* operand, uint32_t index) {
    const uint32_t position = chunkOffset + index;
    const uint32_t value = ReadU32LE(operand);
    if (value < callTranslationSize) {
      WriteU32LE(operand, value - position);
    } else if (0u - value <= position) {
      WriteU32LE(operand, value + callTranslationSize);
    }
  });
}

}  // namespace vykcn::lzx

// Deferred window copies of uncompressed-block bytes (see LzxDecoder::pendingRaw).
#include <cstring>

#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

void FlushPendingRaw(LzxDecoder& d) {
  for (uint32_t i = 0; i < d.pendingRawCount; ++i) {
    const PendingRaw& range = d.pendingRaw[i];
    std::memcpy(d.window + range.position, range.source, range.length);
    const uint32_t end = range.position + range.length;
    for (uint32_t p = range.position; p < end && p < kWindowMirrorSize; ++p) {
      d.window[d.windowSize + p] = d.window[p];
    }
  }
  d.pendingRawCount = 0;
}

void AddPendingRaw(LzxDecoder& d, uint32_t position, uint32_t length, const uint8_t* source) {
  if (length == 0) return;
  PendingRaw* last = d.pendingRawCount != 0 ? &d.pendingRaw[d.pendingRawCount - 1] : nullptr;
  if (last != nullptr && last->position + last->length == position && last->source + last->length == source) {
    last->length += length;  // the same raw run, continued
  } else {
    if (d.pendingRawCount == kMaxPendingRaw) FlushPendingRaw(d);
    d.pendingRaw[d.pendingRawCount++] = PendingRaw{position, length, source};
  }
  // The ranges follow each other through the window: once the newer ones cover a whole window,
  // the oldest will be overwritten entirely and need never be copied.
  uint64_t newer = 0;
  for (uint32_t i = 1; i < d.pendingRawCount; ++i) newer += d.pendingRaw[i].length;
  while (d.pendingRawCount > 1 && newer >= d.windowSize) {
    std::memmove(&d.pendingRaw[0], &d.pendingRaw[1], (d.pendingRawCount - 1) * sizeof(PendingRaw));
    --d.pendingRawCount;
    newer -= d.pendingRaw[0].length;
  }
}

}  // namespace vykcn::lzx

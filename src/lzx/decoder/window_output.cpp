// The window decoder. Window layout: positions 0..W-1, then a mirror of positions 0..256 at
// W..W+256, then 4 bytes of slack. Positions below 257 are written twice (window and mirror) and
// read every match source byte masked. Everything else masks the match source once and then runs
// straight on, into the mirror when it passes W. Since a match is at most 257 bytes long, the
// mirror always covers it.
#include "lzx/decoder/window_output.h"

#include <algorithm>
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/item_decoder.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

namespace {

// The window holds stream bytes up to `end` (W at most: a match past W writes the mirror, not 0 on).
void NoteWritten(LzxDecoder& d, uint32_t end) {
  d.windowFilled = std::max(d.windowFilled, std::min(end, d.windowSize));
}

// Where the careful loop's items go. `filled` is windowFilled as the span started: the span's own
// bytes lie behind the write position, which every copy reads as written.
struct WindowSink {
  uint8_t* window;
  uint32_t size;
  uint32_t mask;
  uint32_t filled;

  void Literal(uint32_t pos, uint8_t byte) {
    window[pos] = byte;
    if (pos < kWindowMirrorSize) window[size + pos] = byte;
  }
  bool Match(uint32_t pos, uint32_t offset, uint32_t length) {
    const uint32_t distance = MatchDistance(offset, mask);
    if (pos < kWindowMirrorSize) {
      CopyMatchCarefully(window, pos, distance, length, size, mask, filled);
      std::memcpy(window + size + pos, window + pos, std::min(pos + length, kWindowMirrorSize) - pos);
    } else if (pos >= distance) {
      CopyMatch<false>(window + pos, distance, length);
    } else if (filled == size && distance != size) {
      // The source lies ahead (it wrapped around the window end), all of it written: memmove gives
      // a forward byte copy's bytes.
      std::memmove(window + pos, window + pos + size - distance, length);
    } else {
      CopyMatchCarefully(window, pos, distance, length, size, SIZE_MAX, filled);
    }
    return true;
  }
};

// n bytes at windowPosition; false when the input runs out or a match runs past the span's end.
template <bool kAligned, bool kBounded>
bool DecodeSpan(LzxDecoder& d, uint32_t n) {
  SpanBits<kBounded> b(d);
  RepeatedOffsets r(d);
  WindowSink sink{d.window, d.windowSize, d.windowMask, d.windowFilled};
  const uint32_t start = static_cast<uint32_t>(d.windowPosition);
  const uint32_t target = start + n;
  uint32_t pos = start;
  // Positions below 257 first: windowPosition moves to where they stop, whatever follows.
  bool ok = true;
  if (start < kWindowMirrorSize) {
    ok = DecodeItems<kAligned>(d, b, r, pos, std::min(target, kWindowMirrorSize), sink);
    if (ok) d.windowPosition = static_cast<int32_t>(pos);
  }
  ok = ok && DecodeItems<kAligned>(d, b, r, pos, target, sink);
  r.Store(d);
  b.Store(d);
  NoteWritten(d, pos);
  if (ok) d.windowPosition = static_cast<int32_t>(pos & d.windowMask);
  return ok && pos == target;
}

}  // namespace

// A span cut short by the end of the input copies what there is, and fails (its bytes are then
// left out of the mirror).
bool WindowOutput::Raw(LzxDecoder& d, uint32_t n) {
  const uint32_t start = static_cast<uint32_t>(d.windowPosition);
  const ptrdiff_t available = std::min(d.inputEnd, d.sourceEnd) - d.inputCursor;
  const uint32_t copied = static_cast<uint32_t>(std::clamp<ptrdiff_t>(available, 0, n));
  std::memcpy(d.window + start, d.inputCursor, copied);
  d.inputCursor += copied;
  NoteWritten(d, start + copied);
  if (copied != n) return false;
  if (start < kWindowMirrorSize) {
    std::memcpy(d.window + d.windowSize + start, d.window + start, std::min(start + n, kWindowMirrorSize) - start);
  }
  d.windowPosition = static_cast<int32_t>((start + n) & d.windowMask);
  return true;
}

bool WindowOutput::Compressed(LzxDecoder& d, uint32_t n, bool aligned) {
  // Spans load up to 24 bytes past inputEnd before the input test stops them (SpanBits); where the
  // source runs on 32 bytes past it, they load without bound checks.
  const bool bounded = d.sourceEnd - d.inputEnd < 32;
  return aligned ? (bounded ? DecodeSpan<true, true>(d, n) : DecodeSpan<true, false>(d, n))
                 : (bounded ? DecodeSpan<false, true>(d, n) : DecodeSpan<false, false>(d, n));
}

bool WindowOutput::Finish(LzxDecoder& d, uint32_t produced) {
  // The chunk's bytes end at windowPosition (at W when it wrapped to 0).
  const uint32_t end = d.windowPosition == 0 ? d.windowSize : static_cast<uint32_t>(d.windowPosition);
  if (produced > end) return false;  // never copy from before the window
  EmitChunk(d, produced, d.window + end - produced);
  return true;
}

void EmitChunk(LzxDecoder& d, uint32_t count, const uint8_t* source) {
  if (count == 0) return;
  std::memcpy(d.outputCursor, source, count);
  if (d.translationSize == 0 || d.chunkCount >= kCallTranslationChunkLimit) return;
  UndoCallTranslation(d.outputCursor, count, d.translationOffset, d.translationSize);
  d.translationOffset += count;
}

}  // namespace vykcn::lzx

// The window decoder. Window layout: positions 0..W-1, then a mirror of positions 0..256 at
// W..W+256, then 4 bytes of slack. Positions below 257 are written twice (window and mirror) and
// read every match source byte masked. Everything else masks the match source once and then runs
// straight on, into the mirror when it passes W. Since a match is at most 257 bytes long, the
// mirror always covers it.
#include "lzx/decoder/window_output.h"

#include <algorithm>
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/decoder_state.h"
#include "lzx/decoder/item_rules.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

namespace {

// The window holds stream bytes up to `end` (W at most: a match past W writes the mirror, not 0 on).
void NoteWritten(WindowState& w, uint32_t end) {
  w.filled = std::max(w.filled, std::min(end, w.size));
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

// n bytes at the window's position; false when the input runs out or a match runs past the span's
// end.
template <bool kAligned, bool kBounded>
bool DecodeSpan(LzxDecoder& d, uint32_t n) {
  WindowState& w = d.window;
  SpanBits<kBounded> b(d.bits);
  RepeatedOffsets r = d.block.repeated;
  WindowSink sink{w.bytes, w.size, w.mask, w.filled};
  const uint32_t start = static_cast<uint32_t>(w.position);
  const uint32_t target = start + n;
  uint32_t pos = start;
  // Positions below 257 first: the position moves to where they stop, whatever follows.
  bool ok = true;
  if (start < kWindowMirrorSize) {
    ok = DecodeItems<kAligned>(d.tables, b, r, pos, std::min(target, kWindowMirrorSize), sink);
    if (ok) w.position = static_cast<int32_t>(pos);
  }
  ok = ok && DecodeItems<kAligned>(d.tables, b, r, pos, target, sink);
  d.block.repeated = r;
  b.Store(d.bits);
  NoteWritten(w, pos);
  if (ok) w.position = static_cast<int32_t>(pos & w.mask);
  return ok && pos == target;
}

}  // namespace

// A span cut short by the end of the input copies what there is, and fails (its bytes are then
// left out of the mirror).
bool WindowOutput::Raw(LzxDecoder& d, uint32_t n) {
  WindowState& w = d.window;
  BitStream& bits = d.bits;
  const uint32_t start = static_cast<uint32_t>(w.position);
  const ptrdiff_t available = std::min(bits.inputEnd, bits.sourceEnd) - bits.inputCursor;
  const uint32_t copied = static_cast<uint32_t>(std::clamp<ptrdiff_t>(available, 0, n));
  std::memcpy(w.bytes + start, bits.inputCursor, copied);
  bits.inputCursor += copied;
  NoteWritten(w, start + copied);
  if (copied != n) return false;
  if (start < kWindowMirrorSize) {
    std::memcpy(w.bytes + w.size + start, w.bytes + start, std::min(start + n, kWindowMirrorSize) - start);
  }
  w.position = static_cast<int32_t>((start + n) & w.mask);
  return true;
}

bool WindowOutput::Compressed(LzxDecoder& d, uint32_t n, bool aligned) {
  // Spans load up to 24 bytes past inputEnd before the input test stops them (SpanBits); where the
  // source runs on 32 bytes past it, they load without bound checks.
  const bool bounded = d.bits.sourceEnd - d.bits.inputEnd < 32;
  return aligned ? (bounded ? DecodeSpan<true, true>(d, n) : DecodeSpan<true, false>(d, n))
                 : (bounded ? DecodeSpan<false, true>(d, n) : DecodeSpan<false, false>(d, n));
}

bool WindowOutput::Finish(LzxDecoder& d, uint32_t produced) {
  // The chunk's bytes end at the window's position (at W when it wrapped to 0).
  const uint32_t end = d.window.position == 0 ? d.window.size : static_cast<uint32_t>(d.window.position);
  if (produced > end) return false;  // never copy from before the window
  EmitChunk(d, out, produced, d.window.bytes + end - produced);
  return true;
}

void EmitChunk(LzxDecoder& d, uint8_t* destination, uint32_t count, const uint8_t* source) {
  if (count == 0) return;
  std::memcpy(destination, source, count);
  if (d.block.translationSize == 0 || d.window.chunkCount >= kCallTranslationChunkLimit) return;
  UndoCallTranslation(destination, count, d.window.translationOffset, d.block.translationSize);
  d.window.translationOffset += count;
}

}  // namespace vykcn::lzx

// Direct output: a stream that starts afresh at a Decompress call (every call without
// ContinuousStream) is decoded straight into the caller's destination.
//
// The window decoder (window_output.cpp) decodes each chunk at windowPosition in the window and
// copies it out, undoing call translation on the copy. While every chunk of a call decodes, chunk k
// starts at stream position 32768 k, windowPosition is the stream position mod W, and the window
// holds the stream's last W bytes (untranslated) at their positions mod W; a position the stream
// has not reached reads as zero. The destination holds the same bytes at their stream positions,
// so the chunks can be decoded there instead: a match at offset o copies from ((o - 1) mod W) + 1
// bytes back (MatchDistance), zeros before the stream start, and no window byte is written or
// copied. Call translation must wait until no match can read a chunk any more: it is undone a
// whole window behind the decoding, and at the end of the call.
//
// A chunk that fails can leave the window in states direct output does not follow (windowPosition
// off the 32 KiB grid, bytes past the block end, the mirror written by an overshooting match), so
// direct output only ever completes chunks that decode. When one fails, Decompress starts the call
// again in the window (chunk_framing.cpp), which decodes every chunk before it to the same bytes.
//
// A span of a verbatim or aligned block runs the fast loop (fast_loop.h) while the input limit is
// more than 8 bytes away (no item can then find the input exhausted, and no load leaves the
// source) and a copy may write 31 bytes past a match's end, then the careful loop for the rest:
// loads checked against the source's bounds, the exact input test before every item, byte-exact
// copies.
#include "lzx/decoder/direct_output.h"

#include <algorithm>
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/fast_loop.h"
#include "lzx/decoder/item_decoder.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

namespace {

// Undoes call translation on one chunk of the output, with the stream offset and the 0-based chunk
// index the window decoder would have given it (EmitChunk): no chunk before it failed.
void TranslateChunk(LzxDecoder& d, uint8_t* chunk, uint32_t n) {
  const size_t offset = static_cast<size_t>(chunk - d.outputBegin);
  if (n != 0 && d.translationSize != 0 && offset / kFrameSize < kCallTranslationChunkLimit) {
    UndoCallTranslation(chunk, n, static_cast<uint32_t>(offset), d.translationSize);
  }
  d.translatedEnd = chunk + n;
}

// Undoes call translation on the whole 32 KiB chunks from translatedEnd up to `end`.
void TranslateWholeChunks(LzxDecoder& d, const uint8_t* end) {
  while (end - d.translatedEnd >= static_cast<ptrdiff_t>(kFrameSize)) TranslateChunk(d, d.translatedEnd, kFrameSize);
}

// ---- Spans --------------------------------------------------------------------------------------

// Where the careful loop's items go: the destination, matches byte-exact and never past `target`.
struct DirectSink {
  uint8_t* begin;
  uint8_t* target;
  uint32_t mask;

  void Literal(uint8_t* out, uint8_t byte) { *out = byte; }
  bool Match(uint8_t* out, uint32_t offset, uint32_t length) {
    if (length > static_cast<size_t>(target - out)) return false;
    CopyMatchCarefully(begin, static_cast<size_t>(out - begin), MatchDistance(offset, mask), length, 0, SIZE_MAX, 0);
    return true;
  }
};

template <bool kAligned>
bool DecodeCarefully(LzxDecoder& d, uint8_t*& out, uint8_t* target) {
  SpanBits<true> b(d);
  RepeatedOffsets r(d);
  DirectSink sink{d.outputBegin, target, d.windowMask};
  const bool ok = DecodeItems<kAligned>(d, b, r, out, target, sink);
  b.Store(d);
  r.Store(d);
  return ok;
}

// The output position from which the fast loop stops: the span's end when a copy's overrun past it
// stays writable, else early enough for the longest match and its overrun.
uint8_t* FastOutputLimit(const LzxDecoder& d, uint8_t* out, uint8_t* target) {
  if (d.outputWriteEnd - target >= kMatchOverrun) return target;
  constexpr ptrdiff_t kReserve = kMaxMatchLength + kMatchOverrun;
  if (d.outputWriteEnd - out <= kReserve) return out;
  return std::min(target, d.outputWriteEnd - kReserve);
}

// The input position from which the fast loop stops: 8 bytes before the input limit (the item's
// bits are already in the buffer, whose words end before the limit, so the checked reader's cursor
// does too), and 16 before the source's end (an item's two refills read at most 14 bytes).
const uint8_t* FastInputLimit(const LzxDecoder& d) {
  const uint8_t* const byInput = d.inputEnd - std::min<ptrdiff_t>(8, d.inputEnd - d.sourceBegin);
  const uint8_t* const bySource = d.sourceEnd - std::min<ptrdiff_t>(16, d.sourceEnd - d.sourceBegin);
  return std::min(byInput, bySource);
}

}  // namespace

void BeginDirectOutput(LzxDecoder& d, uint8_t* destination, uint8_t* writeEnd) {
  d.directOutput = 1;
  d.outputBegin = destination;
  d.outputWriteEnd = writeEnd;
  d.translatedEnd = destination;
  d.lastChunkBegin = destination;
  d.lastChunkEnd = destination;
}

bool DirectOutput::Raw(LzxDecoder& d, uint32_t n) {
  if (std::min(d.inputEnd, d.sourceEnd) - d.inputCursor < static_cast<ptrdiff_t>(n)) return false;
  std::memcpy(out, d.inputCursor, n);
  d.inputCursor += n;
  out += n;
  return true;
}

bool DirectOutput::Compressed(LzxDecoder& d, uint32_t n, bool aligned) {
  uint8_t* const target = out + n;
  const uint8_t* const inLimit = FastInputLimit(d);
  uint8_t* const outLimit = FastOutputLimit(d, out, target);
  bool ok = true;
  // (After an overrun in a header the cursor is already at the limit, and bitCount may be < 1.)
  if (d.inputCursor < inLimit && d.bitCount > 0 && out < outLimit) {
    ok = (aligned ? d.fastLoops->aligned : d.fastLoops->verbatim)(d, out, outLimit, target, inLimit);
  }
  if (ok && out < target) ok = aligned ? DecodeCarefully<true>(d, out, target) : DecodeCarefully<false>(d, out, target);
  return ok;
}

bool DirectOutput::Finish(LzxDecoder& d, uint32_t produced) {
  // Where the window decoder would be after this chunk; it decides which chunks fit the window.
  d.windowPosition = static_cast<int32_t>((static_cast<uint32_t>(d.windowPosition) + produced) & d.windowMask);
  d.lastChunkBegin = out - produced;
  d.lastChunkEnd = out;
  // No match reaches more than W back: the chunks before that are final.
  if (static_cast<size_t>(out - d.outputBegin) > d.windowSize) TranslateWholeChunks(d, out - d.windowSize);
  return true;
}

void EndDirectOutput(LzxDecoder& d) {
  if (!d.directOutput) return;
  // Only the last chunk can have another size than 32 KiB.
  TranslateWholeChunks(d, d.lastChunkBegin);
  TranslateChunk(d, d.lastChunkBegin, static_cast<uint32_t>(d.lastChunkEnd - d.lastChunkBegin));
  d.directOutput = 0;
}

}  // namespace vykcn::lzx

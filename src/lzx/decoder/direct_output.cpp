// Direct output. While every chunk of a call decodes, chunk k starts at stream position 32768 k,
// and the window decoder's window holds the stream's last W bytes at their positions mod W, zeros
// where the stream has not reached. The destination holds the same bytes at their stream
// positions, so the chunks can be decoded there instead: a match at offset o copies from
// MatchDistance(o) bytes back, zeros before the stream start. Call translation waits until no match
// can read a chunk any more: it is undone a whole window behind the decoding, and at the call's
// end. A chunk that fails can leave the window in states direct output does not follow
// (windowPosition off the 32 KiB grid, the mirror written by an overshooting match): the call then
// starts again in the window (decompress.cpp).
//
// A verbatim or aligned span runs the fast loop (fast_loop.h) while the input limit is more than 8
// bytes away and a copy may write 31 bytes past a match's end, then the careful loop for the rest.
#include "lzx/decoder/direct_output.h"

#include <algorithm>
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/fast_loop.h"

namespace vykcn::lzx {

namespace {

// Undoes call translation on one chunk, at the stream offset and chunk index EmitChunk would use.
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

// Where the careful loop's items go: matches byte-exact, and never past `target`.
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

}  // namespace

void BeginDirectOutput(LzxDecoder& d, uint8_t* destination, uint8_t* writeEnd) {
  d.directOutput = 1;
  d.outputBegin = destination;
  d.outputWriteEnd = writeEnd;
  d.translatedEnd = destination;
  d.lastChunkBegin = destination;
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
  // The fast loop stops 8 bytes before the input limit (an item's bits are then in the buffer, so
  // the checked reader's cursor is before it) and 16 before the source's end (two refills read 14
  // bytes at most); at the span's end if an overrun past it is writable, else early enough for one.
  const uint8_t* const inLimit = std::min(d.inputEnd - std::min<ptrdiff_t>(8, d.inputEnd - d.sourceBegin),
                                          d.sourceEnd - std::min<ptrdiff_t>(16, d.sourceEnd - d.sourceBegin));
  constexpr ptrdiff_t kReserve = kMaxMatchLength + kMatchOverrun;
  uint8_t* const outLimit = d.outputWriteEnd - target >= kMatchOverrun ? target
                            : d.outputWriteEnd - out <= kReserve       ? out
                                                                       : std::min(target, d.outputWriteEnd - kReserve);
  bool ok = true;
  if (d.inputCursor < inLimit && d.bitCount > 0 && out < outLimit) {  // bitCount < 1 only after an overrun
    ok = (aligned ? d.fastLoops->aligned : d.fastLoops->verbatim)(d, out, outLimit, target, inLimit);
  }
  if (ok && out < target) ok = aligned ? DecodeCarefully<true>(d, out, target) : DecodeCarefully<false>(d, out, target);
  return ok;
}

bool DirectOutput::Finish(LzxDecoder& d, uint32_t produced) {
  // Where the window decoder would be after this chunk: it decides which chunks fit the window.
  d.windowPosition = static_cast<int32_t>((static_cast<uint32_t>(d.windowPosition) + produced) & d.windowMask);
  d.lastChunkBegin = out - produced;
  // No match reaches more than W back: the chunks before that are final.
  if (static_cast<size_t>(out - d.outputBegin) > d.windowSize) TranslateWholeChunks(d, out - d.windowSize);
  return true;
}

void EndDirectOutput(LzxDecoder& d, uint8_t* end) {
  if (!d.directOutput) return;
  TranslateWholeChunks(d, d.lastChunkBegin);
  TranslateChunk(d, d.lastChunkBegin, static_cast<uint32_t>(end - d.lastChunkBegin));
  d.directOutput = 0;
}

}  // namespace vykcn::lzx

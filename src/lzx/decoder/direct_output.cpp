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
// A verbatim or aligned span runs the fast loop (fast_loop.h, through DirectState) while the input limit is more than 8
// bytes away and a copy may write 31 bytes past a match's end, then the careful loop for the rest.
#include "lzx/decoder/direct_output.h"

#include <algorithm>
#include <cstring>

#include "lzx/call_translation.h"
#include "lzx/decoder/decoder_state.h"
#include "lzx/decoder/item_rules.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

namespace {

// Undoes call translation on one chunk, at the stream offset and chunk index EmitChunk would use.
void TranslateChunk(LzxDecoder& d, uint8_t* chunk, uint32_t n) {
  const size_t offset = static_cast<size_t>(chunk - d.direct.begin);
  if (n != 0 && d.block.translationSize != 0 && offset / kFrameSize < kCallTranslationChunkLimit) {
    UndoCallTranslation(chunk, n, static_cast<uint32_t>(offset), d.block.translationSize);
  }
  d.direct.translatedEnd = chunk + n;
}

// Undoes call translation on the whole 32 KiB chunks from translatedEnd up to `end`.
void TranslateWholeChunks(LzxDecoder& d, const uint8_t* end) {
  while (end - d.direct.translatedEnd >= static_cast<ptrdiff_t>(kFrameSize)) {
    TranslateChunk(d, d.direct.translatedEnd, kFrameSize);
  }
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
  SpanBits<true> b(d.bits);
  RepeatedOffsets r = d.block.repeated;
  DirectSink sink{d.direct.begin, target, d.window.mask};
  const bool ok = DecodeItems<kAligned>(d.tables, b, r, out, target, sink);
  b.Store(d.bits);
  d.block.repeated = r;
  return ok;
}

}  // namespace

void BeginDirectOutput(LzxDecoder& d, uint8_t* destination, uint8_t* writeEnd) {
  d.direct.active = 1;
  d.direct.begin = destination;
  d.direct.writeEnd = writeEnd;
  d.direct.translatedEnd = destination;
  d.direct.lastChunkBegin = destination;
}

bool DirectOutput::Raw(LzxDecoder& d, uint32_t n) {
  BitStream& bits = d.bits;
  if (std::min(bits.inputEnd, bits.sourceEnd) - bits.inputCursor < static_cast<ptrdiff_t>(n)) return false;
  std::memcpy(out, bits.inputCursor, n);
  bits.inputCursor += n;
  out += n;
  return true;
}

bool DirectOutput::Compressed(LzxDecoder& d, uint32_t n, bool aligned) {
  uint8_t* const target = out + n;
  // The fast loop stops 8 bytes before the input limit (an item's bits are then in the buffer, so
  // the checked reader's cursor is before it) and 16 before the source's end (two refills read 14
  // bytes at most); at the span's end if an overrun past it is writable, else early enough for one.
  const BitStream& bits = d.bits;
  const uint8_t* const inLimit =
      std::min(bits.inputEnd - std::min<ptrdiff_t>(8, bits.inputEnd - bits.sourceBegin),
               bits.sourceEnd - std::min<ptrdiff_t>(16, bits.sourceEnd - bits.sourceBegin));
  constexpr ptrdiff_t kReserve = kMaxMatchLength + kMatchOverrun;
  uint8_t* const writeEnd = d.direct.writeEnd;
  uint8_t* const outLimit = writeEnd - target >= kMatchOverrun ? target
                            : writeEnd - out <= kReserve       ? out
                                                               : std::min(target, writeEnd - kReserve);
  bool ok = true;
  if (bits.inputCursor < inLimit && bits.bitCount > 0 && out < outLimit) {  // bitCount < 1 only after an overrun
    ok = (aligned ? d.direct.fastLoops->aligned : d.direct.fastLoops->verbatim)(d, out, outLimit, target, inLimit);
  }
  if (ok && out < target) ok = aligned ? DecodeCarefully<true>(d, out, target) : DecodeCarefully<false>(d, out, target);
  return ok;
}

bool DirectOutput::Finish(LzxDecoder& d, uint32_t produced) {
  // Where the window decoder would be after this chunk: it decides which chunks fit the window.
  d.window.position = static_cast<int32_t>((static_cast<uint32_t>(d.window.position) + produced) & d.window.mask);
  d.direct.lastChunkBegin = out - produced;
  // No match reaches more than W back: the chunks before that are final.
  if (static_cast<size_t>(out - d.direct.begin) > d.window.size) TranslateWholeChunks(d, out - d.window.size);
  return true;
}

void EndDirectOutput(LzxDecoder& d, uint8_t* end) {
  if (!d.direct.active) return;
  TranslateWholeChunks(d, d.direct.lastChunkBegin);
  TranslateChunk(d, d.direct.lastChunkBegin, static_cast<uint32_t>(end - d.direct.lastChunkBegin));
  d.direct.active = 0;
}

}  // namespace vykcn::lzx

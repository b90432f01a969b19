// The block state machine and the span decoders that produce a chunk's bytes in the window: the
// window decoder, which runs continuous streams, and takes over a call from the chunk on that
// direct output (direct_output.cpp) could not finish. ReadBlockHeader serves both.
//
// Window layout: positions 0..W-1, then a mirror of positions 0..256 at W..W+256, then 4 bytes of
// slack. Positions below 257 are decoded by the low-position path, which masks every source byte
// and writes each byte twice (window and mirror). Everything else takes the general path: the
// match source is masked once and then runs straight on, into the mirror when it passes W. Since
// a match is at most 257 bytes long, the mirror always covers it.
#include <cstring>
#include <utility>

#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decoder.h"
#include "lzx/decoder/item_decoder.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

namespace {

// The span decoders keep the bit reader in registers and test the input limit once per main
// symbol (item_decoder.h): NarrowBits for the few positions below 257, WideBits for the rest.
// kBounded selects loads that check the source bounds; it is used when the input limit lies near
// the end of the source, where the look-ahead between two input tests could leave the buffer.

// Records that the window holds stream bytes up to `end` (W at most: a match that runs past W
// writes the mirror, not positions 0 onwards).
inline void NoteWritten(LzxDecoder& d, uint32_t end) {
  if (end > d.windowSize) end = d.windowSize;
  if (end > d.windowFilled) d.windowFilled = end;
}

// A match whose source lies ahead of its destination (it wrapped around the window end) while the
// window is not yet full: source bytes this stream has not written read as zeros. The source runs
// on into the mirror, which holds positions written before this span.
inline void CopyMatchFromUnfilled(uint8_t* window, uint32_t size, uint32_t filled, uint32_t pos,
                                  uint32_t source, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    const uint32_t from = source + i;
    window[pos + i] = (from < filled || from >= size) ? window[from] : 0;
  }
}

// A match whose source is its own destination (an offset of 0 mod W, which only an uncompressed
// block's header can set) leaves the window's bytes as they are; those this stream has not
// written read as zeros, like every unwritten byte (a window position at or past W is the mirror,
// which it keeps).
inline void ZeroUnfilledInPlace(uint8_t* window, uint32_t size, uint32_t filled, uint32_t pos, uint32_t length) {
  const uint32_t from = pos > filled ? pos : filled;
  const uint32_t to = pos + length < size ? pos + length : size;
  if (from < to) std::memset(window + from, 0, to - from);
}

// Positions below 257: every byte is written at p and at W + p, every source byte masked.
// Returns false when the input ran out; otherwise *end is where it stopped (the last match may
// run past target).
template <bool kAligned>
bool DecodeLowPositions(LzxDecoder& d, uint32_t pos, uint32_t target, uint32_t* end) {
  NarrowBits<true> b(d);
  uint8_t* const window = d.window;
  const uint32_t size = d.windowSize;
  const uint32_t mask = d.windowMask;
  const uint32_t filled = d.windowFilled;
  bool ok = true;
  while (pos < target) {
    uint32_t length, literal, offset;
    if (!DecodeItem<kAligned>(d, b, d.repeatedOffsets, length, literal, offset)) {
      ok = false;
      break;
    }
    if (length == 0) {
      window[pos] = static_cast<uint8_t>(literal);
      if (pos < kWindowMirrorSize) window[size + pos] = static_cast<uint8_t>(literal);
      ++pos;
      continue;
    }
    for (uint32_t i = 0; i < length; ++i, ++pos) {
      // Positions behind pos were written by this stream; those ahead only if below `filled`.
      const uint32_t from = (pos - offset) & mask;
      const uint8_t byte = (from < pos || from < filled) ? window[from] : 0;
      window[pos] = byte;
      if (pos < kWindowMirrorSize) window[size + pos] = byte;
    }
  }
  b.Store(d);
  NoteWritten(d, pos);
  *end = pos;
  return ok;
}

// Positions from 257 on: no mirror writes, the match source masked once per match.
template <bool kAligned, bool kBounded>
bool DecodeGeneralPositions(LzxDecoder& d, uint32_t pos, uint32_t target, uint32_t* end) {
  WideBits<kBounded> b(d);
  uint8_t* const window = d.window;
  const uint32_t size = d.windowSize;
  const uint32_t mask = d.windowMask;
  int32_t r[3] = {d.repeatedOffsets[0], d.repeatedOffsets[1], d.repeatedOffsets[2]};
  bool ok = true;
  while (pos < target) {
    uint32_t length, literal, offset;
    if (!DecodeItem<kAligned>(d, b, r, length, literal, offset)) {
      ok = false;
      break;
    }
    if (length == 0) {
      window[pos++] = static_cast<uint8_t>(literal);
      continue;
    }
    uint8_t* const dst = window + pos;
    const uint8_t* const src = window + ((pos - offset) & mask);
    // Most matches are short and at least 8 back: one straight path for them, so that the copy
    // does not branch on their length.
    if (length <= 16 && src + 8 <= dst && pos + 16 <= size) {
      CopyShortMatch(dst, src, length);
    } else if (__builtin_expect(src > dst && d.windowFilled < size, 0)) {
      CopyMatchFromUnfilled(window, size, d.windowFilled, pos, static_cast<uint32_t>(src - window), length);
    } else if (__builtin_expect(src == dst, 0)) {
      ZeroUnfilledInPlace(window, size, d.windowFilled, pos, length);
    } else {
      CopyMatch(dst, src, length);
    }
    pos += length;
  }
  std::memcpy(d.repeatedOffsets, r, sizeof(r));
  b.Store(d);
  NoteWritten(d, pos);
  *end = pos;
  return ok;
}

// DecodeVerbatim / DecodeAligned: 0 when exactly n bytes were produced from `start`.
template <bool kAligned>
int32_t DecodeCompressedSpan(LzxDecoder& d, uint32_t start, int32_t n) {
  if (start < kWindowMirrorSize) {
    const uint32_t lowCount = kWindowMirrorSize - start < static_cast<uint32_t>(n)
                                  ? kWindowMirrorSize - start
                                  : static_cast<uint32_t>(n);
    uint32_t stop;
    if (!DecodeLowPositions<kAligned>(d, start, start + lowCount, &stop)) return -1;
    d.windowPosition = static_cast<int32_t>(stop);
    n -= static_cast<int32_t>(stop - start);
    if (n <= 0) return n;  // negative: a match ran past the span's end
    start = stop;
  }
  const uint32_t target = start + static_cast<uint32_t>(n);
  uint32_t stop;
  bool ok;
  if (d.sourceEnd - d.inputEnd >= kLookAheadBytes) {
    ok = DecodeGeneralPositions<kAligned, false>(d, start, target, &stop);
  } else {
    ok = DecodeGeneralPositions<kAligned, true>(d, start, target, &stop);
  }
  if (!ok) return -1;
  d.windowPosition = static_cast<int32_t>(stop & d.windowMask);
  return static_cast<int32_t>(stop - target);
}

// `output` is where the span's bytes go in the caller's copy of the chunk. A complete span is
// copied there directly and into the window later (see pendingRaw); a span cut short by the end
// of the input copies what there is into the window, and fails.
int32_t CopyUncompressed(LzxDecoder& d, uint32_t start, int32_t n, uint8_t* output) {
  ptrdiff_t available = d.inputEnd - d.inputCursor;
  if (d.sourceEnd - d.inputCursor < available) available = d.sourceEnd - d.inputCursor;
  const ptrdiff_t m = available < n ? available : n;
  if (m != n) {
    if (m > 0) {
      FlushPendingRaw(d);
      std::memcpy(d.window + start, d.inputCursor, static_cast<size_t>(m));
      d.inputCursor += m;
      NoteWritten(d, start + static_cast<uint32_t>(m));
    }
    return -1;
  }
  if (n > 0) {
    std::memcpy(output, d.inputCursor, static_cast<size_t>(n));
    AddPendingRaw(d, start, static_cast<uint32_t>(n), d.inputCursor);
    d.inputCursor += n;
    NoteWritten(d, start + static_cast<uint32_t>(n));
  }
  d.windowPosition = static_cast<int32_t>((start + static_cast<uint32_t>(n)) & d.windowMask);
  return 0;
}

// The raw block's header: padding up to the last loaded 16-bit word, then R0, R1, R2 as
// little-endian 32-bit values. The bit buffer holds that word in full plus 1 to 16 unread bits of
// the one before, so stepping back 2 bytes drops the unread remainder.
bool ReadUncompressedHeader(LzxDecoder& d) {
  const uint8_t* cursor = d.inputCursor - 2;
  // Never before the chunk's own data, and all 12 bytes inside the chunk's input.
  if (d.inputCursor < d.chunkData + 2 || d.inputEnd - cursor < 12) return false;
  for (int i = 0; i < 3; ++i) {
    d.repeatedOffsets[i] = static_cast<int32_t>(ReadU32LE(cursor));
    cursor += 4;
  }
  d.inputCursor = cursor;
  return true;
}

// `output`: where the span's bytes go in the caller's copy of the chunk.
int32_t DecodeSpan(LzxDecoder& d, int32_t n, uint8_t* output) {
  const uint32_t start = static_cast<uint32_t>(d.windowPosition);
  if (d.blockType == kBlockUncompressed) return CopyUncompressed(d, start, n, output);
  if (d.blockType != kBlockVerbatim && d.blockType != kBlockAligned) return -1;
  // Matches may read any window byte: raw bytes still pending go in first.
  if (d.pendingRawCount != 0) FlushPendingRaw(d);
  d.chunkUsesWindow = 1;
  return d.blockType == kBlockAligned ? DecodeCompressedSpan<true>(d, start, n)
                                           : DecodeCompressedSpan<false>(d, start, n);
}

}  // namespace

bool ReadBlockHeader(LzxDecoder& d) {
  if (d.headerPending) {
    d.headerPending = 0;
    if (ReadBits(d, 1)) {
      const uint32_t high = ReadBits(d, 16);
      d.translationSize = high << 16 | ReadBits(d, 16);
    } else {
      d.translationSize = 0;
    }
  }
  if (d.blockType == kBlockUncompressed) {
    // The bit stream resumes at the byte after the raw data; no padding byte is skipped.
    d.blockType = 0;
    PrimeBitReader(d);
  }
  d.blockType = static_cast<int32_t>(ReadBits(d, kBlockTypeBits));
  const uint32_t high = ReadBits(d, 8);
  const uint32_t middle = ReadBits(d, 8);
  const uint32_t low = ReadBits(d, 8);
  d.blockSize = static_cast<int32_t>(high << 16 | middle << 8 | low);
  d.blockRemaining = d.blockSize;

  if (d.directOutput && (d.blockType == kBlockVerbatim || d.blockType == kBlockAligned)) TakeCodeLengths(d);
  switch (d.blockType) {
    case kBlockAligned:
      if (!ReadAlignedTree(d)) return false;
      [[fallthrough]];
    case kBlockVerbatim: {
      const unsigned mainSymbols = MainSymbolsForSlots(d.positionSlots);
      std::memcpy(d.previousMainLengths, d.mainLengths, mainSymbols);
      std::memcpy(d.previousLengthLengths, d.lengthLengths, kNumLengthSymbols);
      if (!ReadTrees(d)) return false;
      break;
    }
    case kBlockUncompressed:
      if (!ReadUncompressedHeader(d)) return false;
      break;
    default:
      return false;
  }
  d.blockState = kBlockStateInside;
  return true;
}

int32_t DecodeOutput(LzxDecoder& d, int32_t want) {
  int32_t produced = 0;
  d.chunkUsesWindow = 0;
  while (want > 0) {
    if (d.blockState == kBlockStateHeader && !ReadBlockHeader(d)) return -1;
    while (d.blockRemaining > 0 && want > 0) {
      const int32_t n = d.blockRemaining < want ? d.blockRemaining : want;
      if (DecodeSpan(d, n, d.outputCursor + produced) != 0) return -1;
      d.blockRemaining -= n;
      want -= n;
      produced += n;
    }
    if (d.blockRemaining == 0) d.blockState = kBlockStateHeader;
  }
  // The chunk's bytes end at windowPosition (at W when it wrapped to 0).
  const uint32_t end = d.windowPosition == 0 ? d.windowSize : static_cast<uint32_t>(d.windowPosition);
  if (static_cast<uint32_t>(produced) > end) return -1;  // never copy from before the window
  if (!d.chunkUsesWindow) {
    // Raw bytes only: they are in the caller's copy already.
    EmitChunk(d, static_cast<uint32_t>(produced), d.outputCursor);
    return produced;
  }
  if (d.pendingRawCount != 0) FlushPendingRaw(d);
  EmitChunk(d, static_cast<uint32_t>(produced), d.window + end - produced);
  return produced;
}

}  // namespace vykcn::lzx

// The block state machine and the span decoders that produce a chunk's bytes in the window.
//
// Window layout: positions 0..W-1, then a mirror of positions 0..256 at W..W+256, then 4 bytes of
// slack. Positions below 257 are decoded by the low-position path, which masks every source byte
// and writes each byte twice (window and mirror). Everything else takes the general path: the
// match source is masked once and then runs straight on, into the mirror when it passes W. Since
// a match is at most 257 bytes long, the mirror always covers it.
#include <cstring>

#include "lzx/lzx_bit_reader.h"
#include "lzx/lzx_decoder.h"
#include "lzx/match_copy.h"

namespace vykcn {

namespace {

// The bit reader's three values held in registers across a span. kBounded selects loads that
// check the source bounds; it is used when the input limit lies near the end of the source, where
// the unchecked look-ahead between two input tests could otherwise leave the buffer.
struct BitState {
  uint32_t buffer;
  int count;
  const uint8_t* cursor;
};

// The span decoders may consume a main, a length, a footer (two words) and an aligned code
// between two input tests: at most 5 words past a cursor that was below inputEnd.
constexpr ptrdiff_t kLookAheadBytes = 12;

template <bool kBounded>
inline uint32_t LoadWord(const uint8_t* p, const LzxDecoder& d) {
  if (kBounded) return LoadWordBounded(p, d.sourceBegin, d.sourceEnd);
  uint16_t word;
  std::memcpy(&word, p, 2);
  return word;  // little-endian hosts only (x86-64, the module's and the tool's platforms)
}

template <bool kBounded>
inline void Consume(BitState& b, unsigned n, const LzxDecoder& d) {
  b.count -= static_cast<int>(n);
  b.buffer <<= n;
  if (b.count <= 0) {
    b.buffer |= LoadWord<kBounded>(b.cursor, d) << -b.count;
    b.cursor += 2;
    b.count += 16;
    if (b.count <= 0) {  // only a 17-bit footer can need a second word
      b.buffer |= LoadWord<kBounded>(b.cursor, d) << -b.count;
      b.cursor += 2;
      b.count += 16;
    }
  }
}

template <bool kBounded>
inline uint32_t Take(BitState& b, unsigned n, const LzxDecoder& d) {
  const uint32_t value = b.buffer >> (32 - n);
  Consume<kBounded>(b, n, d);
  return value;
}

// Decodes one main-tree item. Returns false when the input is exhausted before it; otherwise
// `length` is 0 for a literal (in `literal`) or the match length, with the offset in `offset`.
template <bool kAligned, bool kBounded>
inline bool DecodeItem(LzxDecoder& d, BitState& b, int32_t* r, uint32_t& length, uint32_t& literal,
                       uint32_t& offset) {
  // One lookup gives symbol and code length for all but the longest codes.
  uint32_t entry = d.mainFast[b.buffer >> (32 - kMainFastBits)];
  if (__builtin_expect(entry & kFastTableSlow, 0)) {
    const int slow = DecodeSymbol(b.buffer, d.mainTable, d.mainOverflow, lzx::kMainTableBits);
    entry = static_cast<uint32_t>(slow) | static_cast<uint32_t>(d.mainLengths[slow]) << kFastLengthShift;
  }
  if (b.cursor >= d.inputEnd) return false;
  Consume<kBounded>(b, entry >> kFastLengthShift, d);
  const unsigned symbol = entry & ((1u << kFastLengthShift) - 1);
  if (symbol < lzx::kNumChars) {
    length = 0;
    literal = symbol;
    return true;
  }
  const unsigned m = symbol - lzx::kNumChars;
  unsigned lengthHeader = m & 7;
  const unsigned slot = m >> 3;
  if (lengthHeader == lzx::kNumPrimaryLengths) {
    uint32_t lengthEntry = d.lengthFast[b.buffer >> (32 - kLengthFastBits)];
    if (__builtin_expect(lengthEntry & kFastTableSlow, 0)) {
      const int slow = DecodeSymbol(b.buffer, d.lengthTable, d.lengthOverflow, lzx::kLengthTableBits);
      lengthEntry = static_cast<uint32_t>(slow) | static_cast<uint32_t>(d.lengthLengths[slow]) << kFastLengthShift;
    }
    Consume<kBounded>(b, lengthEntry >> kFastLengthShift, d);
    lengthHeader += lengthEntry & ((1u << kFastLengthShift) - 1);
  }
  length = lengthHeader + lzx::kMinMatchLength;

  if (slot < lzx::kNumRepeatedOffsets) {
    const int32_t repeated = r[slot];
    r[slot] = r[0];
    r[0] = repeated;
    offset = static_cast<uint32_t>(repeated);
    return true;
  }
  const unsigned extra = d.extraBits[slot];
  uint32_t value;
  if (kAligned && extra >= 3) {
    uint32_t high = 0;
    if (extra > 3) high = Take<kBounded>(b, extra - 3, d);
    const unsigned aligned = d.alignedTable[b.buffer >> (32 - lzx::kAlignedTableBits)];
    Consume<kBounded>(b, d.alignedLengths[aligned], d);
    value = static_cast<uint32_t>(d.positionBase[slot]) + (high << 3) + aligned;
  } else if (extra > 0) {
    value = static_cast<uint32_t>(d.positionBase[slot]) + Take<kBounded>(b, extra, d);
  } else {
    value = 1;  // slot 3
  }
  r[2] = r[1];
  r[1] = r[0];
  r[0] = static_cast<int32_t>(value);
  offset = value;
  return true;
}

// Positions below 257: every byte is written at p and at W + p, every source byte masked.
// Returns false when the input ran out; otherwise *end is where it stopped (the last match may
// run past target).
template <bool kAligned>
bool DecodeLowPositions(LzxDecoder& d, uint32_t pos, uint32_t target, uint32_t* end) {
  BitState b{d.bitBuffer, d.bitCount, d.inputCursor};
  uint8_t* const window = d.window;
  const uint32_t size = d.windowSize;
  const uint32_t mask = d.windowMask;
  bool ok = true;
  while (pos < target) {
    uint32_t length, literal, offset;
    if (!DecodeItem<kAligned, true>(d, b, d.repeatedOffsets, length, literal, offset)) {
      ok = false;
      break;
    }
    if (length == 0) {
      window[pos] = static_cast<uint8_t>(literal);
      if (pos < lzx::kWindowMirrorSize) window[size + pos] = static_cast<uint8_t>(literal);
      ++pos;
      continue;
    }
    for (uint32_t i = 0; i < length; ++i, ++pos) {
      const uint8_t byte = window[(pos - offset) & mask];
      window[pos] = byte;
      if (pos < lzx::kWindowMirrorSize) window[size + pos] = byte;
    }
  }
  d.bitBuffer = b.buffer;
  d.bitCount = static_cast<int8_t>(b.count);
  d.inputCursor = b.cursor;
  *end = pos;
  return ok;
}

// Positions from 257 on: no mirror writes, the match source masked once per match.
template <bool kAligned, bool kBounded>
bool DecodeGeneralPositions(LzxDecoder& d, uint32_t pos, uint32_t target, uint32_t* end) {
  BitState b{d.bitBuffer, d.bitCount, d.inputCursor};
  uint8_t* const window = d.window;
  const uint32_t mask = d.windowMask;
  int32_t r[3] = {d.repeatedOffsets[0], d.repeatedOffsets[1], d.repeatedOffsets[2]};
  bool ok = true;
  while (pos < target) {
    uint32_t length, literal, offset;
    if (!DecodeItem<kAligned, kBounded>(d, b, r, length, literal, offset)) {
      ok = false;
      break;
    }
    if (length == 0) {
      window[pos++] = static_cast<uint8_t>(literal);
      continue;
    }
    CopyMatch(window + pos, window + ((pos - offset) & mask), length);
    pos += length;
  }
  std::memcpy(d.repeatedOffsets, r, sizeof(r));
  d.bitBuffer = b.buffer;
  d.bitCount = static_cast<int8_t>(b.count);
  d.inputCursor = b.cursor;
  *end = pos;
  return ok;
}

// DecodeVerbatim / DecodeAligned: 0 when exactly n bytes were produced from `start`.
template <bool kAligned>
int32_t DecodeCompressedSpan(LzxDecoder& d, uint32_t start, int32_t n) {
  if (start < lzx::kWindowMirrorSize) {
    const uint32_t lowCount = lzx::kWindowMirrorSize - start < static_cast<uint32_t>(n)
                                  ? lzx::kWindowMirrorSize - start
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

int32_t CopyUncompressed(LzxDecoder& d, uint32_t start, int32_t n) {
  ptrdiff_t available = d.inputEnd - d.inputCursor;
  if (d.sourceEnd - d.inputCursor < available) available = d.sourceEnd - d.inputCursor;
  const ptrdiff_t m = available < n ? available : n;
  if (m > 0) {
    std::memcpy(d.window + start, d.inputCursor, static_cast<size_t>(m));
    d.inputCursor += m;
  }
  if (m != n) return -1;
  const uint32_t end = start + static_cast<uint32_t>(n);
  for (uint32_t p = start; p < end && p < lzx::kWindowMirrorSize; ++p) d.window[d.windowSize + p] = d.window[p];
  d.windowPosition = static_cast<int32_t>(end & d.windowMask);
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
    d.repeatedOffsets[i] = static_cast<int32_t>(static_cast<uint32_t>(cursor[0]) | cursor[1] << 8 |
                                                cursor[2] << 16 | static_cast<uint32_t>(cursor[3]) << 24);
    cursor += 4;
  }
  d.inputCursor = cursor;
  return true;
}

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
  if (d.blockType == lzx::kBlockUncompressed) {
    // The bit stream resumes at the byte after the raw data; no padding byte is skipped.
    d.blockType = 0;
    PrimeBitReader(d);
  }
  d.blockType = static_cast<int32_t>(ReadBits(d, lzx::kBlockTypeBits));
  const uint32_t high = ReadBits(d, 8);
  const uint32_t middle = ReadBits(d, 8);
  const uint32_t low = ReadBits(d, 8);
  d.blockSize = static_cast<int32_t>(high << 16 | middle << 8 | low);
  d.blockRemaining = d.blockSize;

  switch (d.blockType) {
    case lzx::kBlockAligned:
      if (!ReadAlignedTree(d)) return false;
      [[fallthrough]];
    case lzx::kBlockVerbatim: {
      const unsigned mainSymbols = lzx::MainSymbolsForSlots(d.positionSlots);
      std::memcpy(d.previousMainLengths, d.mainLengths, mainSymbols);
      std::memcpy(d.previousLengthLengths, d.lengthLengths, lzx::kNumLengthSymbols);
      if (!ReadTrees(d)) return false;
      break;
    }
    case lzx::kBlockUncompressed:
      if (!ReadUncompressedHeader(d)) return false;
      break;
    default:
      return false;
  }
  d.blockState = kBlockStateInside;
  return true;
}

int32_t DecodeSpan(LzxDecoder& d, int32_t n) {
  const uint32_t start = static_cast<uint32_t>(d.windowPosition);
  switch (d.blockType) {
    case lzx::kBlockVerbatim: return DecodeCompressedSpan<false>(d, start, n);
    case lzx::kBlockAligned: return DecodeCompressedSpan<true>(d, start, n);
    case lzx::kBlockUncompressed: return CopyUncompressed(d, start, n);
    default: return -1;
  }
}

}  // namespace

int32_t DecodeOutput(LzxDecoder& d, int32_t want) {
  int32_t produced = 0;
  while (want > 0) {
    if (d.blockState == kBlockStateHeader && !ReadBlockHeader(d)) return -1;
    while (d.blockRemaining > 0 && want > 0) {
      const int32_t n = d.blockRemaining < want ? d.blockRemaining : want;
      if (DecodeSpan(d, n) != 0) return -1;
      d.blockRemaining -= n;
      want -= n;
      produced += n;
    }
    if (d.blockRemaining == 0) d.blockState = kBlockStateHeader;
  }
  // The chunk's bytes end at windowPosition (at W when it wrapped to 0).
  const uint32_t end = d.windowPosition == 0 ? d.windowSize : static_cast<uint32_t>(d.windowPosition);
  if (static_cast<uint32_t>(produced) > end) return -1;  // never copy from before the window
  EmitChunk(d, static_cast<uint32_t>(produced), d.window + end - produced);
  return produced;
}

}  // namespace vykcn

// Block headers. The main and length trees are sent as differences from the previous block's code
// lengths, coded with a 20-symbol pretree; the aligned-offset tree as eight 3-bit lengths; an
// uncompressed block's header holds R0..R2 in its own bytes.
#include "lzx/decoder/block_header.h"

#include <cstring>

#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decode_tables.h"

namespace vykcn::lzx {

namespace {

struct PretreeTables {
  uint16_t fast[1 << kPretreeFastBits];
  int16_t table[1 << kPretreeTableBits];
  int16_t overflow[4 * kNumPretreeSymbols];
  uint8_t lengths[kNumPretreeSymbols];
};

// One pretree symbol, its code consumed; false if the input ran out meanwhile.
bool ReadPretreeSymbol(CheckedBits& b, const PretreeTables& pretree, int& symbol) {
  const uint32_t entry = TreeEntry(b, pretree.fast, kPretreeFastBits, pretree.table, pretree.overflow,
                                   kPretreeTableBits, pretree.lengths);
  symbol = static_cast<int>(entry & kFastSymbolMask);
  return ConsumeBits(b, entry >> kFastLengthShift);
}

bool ReadCodeLengthsWith(CheckedBits& b, unsigned count, const uint8_t* previous, uint8_t* current) {
  PretreeTables pretree;
  for (uint8_t& length : pretree.lengths) length = static_cast<uint8_t>(ReadBits(b, kPretreeLengthBits));
  if (b.inputOverrun || !BuildDecodeTables(kNumPretreeSymbols, pretree.lengths, kPretreeFastBits, pretree.fast,
                                           kPretreeTableBits, pretree.table, pretree.overflow)) {
    return false;
  }
  for (unsigned pos = 0; pos < count;) {
    int symbol;
    if (!ReadPretreeSymbol(b, pretree, symbol)) return false;
    unsigned run = 1;
    int value = 0;
    if (symbol == static_cast<int>(kPretreeZeroRunShort) || symbol == static_cast<int>(kPretreeZeroRunLong)) {
      run = symbol == static_cast<int>(kPretreeZeroRunShort) ? ReadBits(b, 4) + 4 : ReadBits(b, 5) + 20;
    } else {
      // The previous length minus a delta of 0..16, mod 17; a same-value run takes its value from
      // its first position, and its second symbol, when 17..19, can push it below 0: no length.
      if (symbol == static_cast<int>(kPretreeSameRun)) {
        run = ReadBits(b, 1) + 4;
        if (!ReadPretreeSymbol(b, pretree, symbol)) return false;
      }
      value = previous[pos] - symbol + 17;
      if (value >= 17) value -= 17;
      if (value < 0) return false;
    }
    if (run > count - pos) run = count - pos;
    std::memset(current + pos, value, run);
    pos += run;
  }
  return !b.inputOverrun;
}

// The raw block's header: padding up to the last loaded 16-bit word, then R0, R1, R2 as
// little-endian 32-bit values. The bit buffer holds that word in full plus 1 to 16 unread bits of
// the one before, so stepping back 2 bytes drops the unread remainder.
bool ReadUncompressedHeader(LzxDecoder& d) {
  const uint8_t* cursor = d.inputCursor - 2;
  // Never before the chunk's own data, and all 12 bytes inside the chunk's input.
  if (d.inputCursor < d.chunkData + 2 || d.inputEnd - cursor < 12) return false;
  for (int i = 0; i < 3; ++i) d.repeatedOffsets[i] = static_cast<int32_t>(ReadU32LE(cursor + 4 * i));
  d.inputCursor = cursor + 12;
  return true;
}

}  // namespace

bool ReadCodeLengths(LzxDecoder& d, unsigned count, const uint8_t* previous, uint8_t* current) {
  CheckedBits bits(d);
  const bool ok = ReadCodeLengthsWith(bits, count, previous, current);
  bits.Store(d);
  return ok;
}

bool ReadAlignedTree(LzxDecoder& d) {
  for (uint8_t& length : d.alignedLengths) length = static_cast<uint8_t>(ReadBits(d, kAlignedLengthBits));
  if (d.inputOverrun || !BuildAlignedTable(d.alignedLengths, d.alignedTable)) return false;
  for (unsigned i = 0; i < (1u << kAlignedTableBits); ++i) {
    d.alignedFast[i] = static_cast<uint8_t>(d.alignedTable[i] | d.alignedLengths[d.alignedTable[i]] << 3);
  }
  return true;
}

bool ReadBlockHeader(LzxDecoder& d) {
  if (d.headerPending) {
    d.headerPending = 0;
    d.translationSize = 0;
    if (ReadBits(d, 1)) {
      const uint32_t high = ReadBits(d, 16);
      d.translationSize = high << 16 | ReadBits(d, 16);
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
  d.blockSize = static_cast<int32_t>(high << 16 | middle << 8 | ReadBits(d, 8));
  d.blockRemaining = d.blockSize;
  const unsigned matchSymbols = 8u * d.positionSlots;
  switch (d.blockType) {
    case kBlockAligned:
      if (!ReadAlignedTree(d)) return false;
      [[fallthrough]];
    case kBlockVerbatim:
      // The main table is built before the length tree is read: a main tree that fails leaves the
      // length lengths as they were.
      std::memcpy(d.previousMainLengths, d.mainLengths, kNumChars + matchSymbols);
      std::memcpy(d.previousLengthLengths, d.lengthLengths, kNumLengthSymbols);
      if (!ReadCodeLengths(d, kNumChars, d.previousMainLengths, d.mainLengths) ||
          !ReadCodeLengths(d, matchSymbols, d.previousMainLengths + kNumChars, d.mainLengths + kNumChars) ||
          !BuildDecodeTables(kNumChars + matchSymbols, d.mainLengths, kMainFastBits, d.mainFast, kMainTableBits,
                             d.mainTable, d.mainOverflow) ||
          !ReadCodeLengths(d, kNumLengthSymbols, d.previousLengthLengths, d.lengthLengths) ||
          !BuildDecodeTables(kNumLengthSymbols, d.lengthLengths, kLengthFastBits, d.lengthFast, kLengthTableBits,
                             d.lengthTable, d.lengthOverflow)) {
        return false;
      }
      if (d.directOutput) BuildItemTable(d, d.blockType == kBlockAligned);
      break;
    case kBlockUncompressed:
      if (!ReadUncompressedHeader(d)) return false;
      break;
    default:
      return false;
  }
  d.blockState = kBlockStateInside;
  return true;
}

}  // namespace vykcn::lzx

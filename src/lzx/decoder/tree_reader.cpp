// Reading the code lengths of a block header: the main and length trees are sent as differences
// from the previous block's lengths, coded with a 20-symbol pretree; the aligned-offset tree is
// sent as eight 3-bit lengths.
#include "lzx/decoder/tree_reader.h"

#include <cstring>

#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decode_tables.h"

namespace vykcn::lzx {

namespace {

struct PretreeTables {
  uint16_t fast[1 << kPretreeFastBits];
  int16_t table[1 << kPretreeTableBits];
  int16_t overflow[4 * kNumPretreeSymbols];
};

// Decodes one pretree symbol and consumes its code; false if the input ran out meanwhile.
bool ReadPretreeSymbol(CheckedBits& d, const PretreeTables& pretree, const uint8_t* lengths, int& symbol) {
  const uint32_t entry = pretree.fast[d.bitBuffer >> (32 - kPretreeFastBits)];
  if (entry & kFastTableSlow) {
    symbol = DecodeSymbol(d.bitBuffer, pretree.table, pretree.overflow, kPretreeTableBits);
    return ConsumeBits(d, lengths[symbol]);
  }
  symbol = static_cast<int>(entry & kFastSymbolMask);
  return ConsumeBits(d, entry >> kFastLengthShift);
}

// The new length for a delta symbol 0..16 against the previous length (mod 17).
int ApplyDelta(int previous, int delta) {
  int value = previous - delta + 17;
  if (value >= 17) value -= 17;
  return value;
}

// ReadCodeLengths with the reader in `d`.
bool ReadCodeLengthsWith(CheckedBits& d, unsigned count, const uint8_t* previous, uint8_t* current) {
  uint8_t pretreeLengths[kNumPretreeSymbols];
  for (unsigned i = 0; i < kNumPretreeSymbols; ++i) {
    pretreeLengths[i] = static_cast<uint8_t>(ReadBits(d, kPretreeLengthBits));
  }
  if (d.inputOverrun) return false;

  PretreeTables pretree;
  if (!BuildDecodeTables(kNumPretreeSymbols, pretreeLengths, kPretreeFastBits, pretree.fast, kPretreeTableBits,
                         pretree.table, pretree.overflow)) {
    return false;
  }

  unsigned pos = 0;
  while (pos < count) {
    int symbol;
    if (!ReadPretreeSymbol(d, pretree, pretreeLengths, symbol)) return false;
    unsigned run;
    int value;
    if (symbol == static_cast<int>(kPretreeZeroRunShort)) {
      run = ReadBits(d, 4) + 4;
      value = 0;
    } else if (symbol == static_cast<int>(kPretreeZeroRunLong)) {
      run = ReadBits(d, 5) + 20;
      value = 0;
    } else if (symbol == static_cast<int>(kPretreeSameRun)) {
      run = ReadBits(d, 1) + 4;
      int delta;
      if (!ReadPretreeSymbol(d, pretree, pretreeLengths, delta)) return false;
      // The value comes from the run's first position and fills the whole run. A second symbol
      // of 17..19 can push it outside 0..16, which no code length may be.
      value = ApplyDelta(previous[pos], delta);
      if (value < 0 || value > static_cast<int>(kMaxCodeLength)) return false;
    } else {
      run = 1;
      value = ApplyDelta(previous[pos], symbol);
    }
    if (run > count - pos) run = count - pos;
    std::memset(current + pos, value, run);
    pos += run;
  }
  return !d.inputOverrun;
}

}  // namespace

bool ReadCodeLengths(LzxDecoder& d, unsigned count, const uint8_t* previous, uint8_t* current) {
  CheckedBits bits(d);
  const bool ok = ReadCodeLengthsWith(bits, count, previous, current);
  bits.Store(d);
  return ok;
}

bool ReadTrees(LzxDecoder& d) {
  const unsigned matchSymbols = 8u * d.positionSlots;
  // The main table is built before the length tree is read: a main tree that fails leaves the
  // length lengths as they were.
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
  return true;
}

bool ReadAlignedTree(LzxDecoder& d) {
  for (unsigned i = 0; i < kNumAlignedSymbols; ++i) {
    d.alignedLengths[i] = static_cast<uint8_t>(ReadBits(d, kAlignedLengthBits));
  }
  if (d.inputOverrun || !BuildAlignedTable(d.alignedLengths, d.alignedTable)) return false;
  for (unsigned i = 0; i < (1u << kAlignedTableBits); ++i) {
    const uint8_t symbol = d.alignedTable[i];
    d.alignedFast[i] = static_cast<uint8_t>(symbol | d.alignedLengths[symbol] << 3);
  }
  return true;
}

}  // namespace vykcn::lzx

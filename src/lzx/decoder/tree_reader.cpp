// Reading the code lengths of a block header: the main and length trees are sent as differences
// from the previous block's lengths, coded with a 20-symbol pretree; the aligned-offset tree is
// sent as eight 3-bit lengths.
#include <cstring>

#include "lzx/decoder/lzx_bit_reader.h"
#include "lzx/decoder/lzx_decoder.h"

namespace vykcn {

namespace {

constexpr unsigned kPretreeOverflowEntries = 96;

// Decodes one pretree symbol and consumes its code; false if the input ran out meanwhile.
bool ReadPretreeSymbol(LzxDecoder& d, const int16_t* table, const int16_t* overflow,
                       const uint8_t* lengths, int& symbol) {
  symbol = DecodeSymbol(d.bitBuffer, table, overflow, lzx::kPretreeTableBits);
  return ConsumeBits(d, lengths[symbol]);
}

// The new length for a delta symbol 0..16 against the previous length (mod 17).
int ApplyDelta(int previous, int delta) {
  int value = previous - delta + 17;
  if (value >= 17) value -= 17;
  return value;
}

}  // namespace

bool ReadCodeLengths(LzxDecoder& d, unsigned count, const uint8_t* previous, uint8_t* current) {
  uint8_t pretreeLengths[lzx::kNumPretreeSymbols];
  for (unsigned i = 0; i < lzx::kNumPretreeSymbols; ++i) {
    pretreeLengths[i] = static_cast<uint8_t>(ReadBits(d, lzx::kPretreeLengthBits));
  }
  if (d.inputOverrun) return false;

  int16_t table[1 << lzx::kPretreeTableBits];
  int16_t overflow[kPretreeOverflowEntries];
  if (!BuildDecodeTable(lzx::kNumPretreeSymbols, pretreeLengths, lzx::kPretreeTableBits, table, overflow)) {
    return false;
  }

  unsigned pos = 0;
  while (pos < count) {
    int symbol;
    if (!ReadPretreeSymbol(d, table, overflow, pretreeLengths, symbol)) return false;
    unsigned run;
    int value;
    if (symbol == static_cast<int>(lzx::kPretreeZeroRunShort)) {
      run = ReadBits(d, 4) + 4;
      value = 0;
    } else if (symbol == static_cast<int>(lzx::kPretreeZeroRunLong)) {
      run = ReadBits(d, 5) + 20;
      value = 0;
    } else if (symbol == static_cast<int>(lzx::kPretreeSameRun)) {
      run = ReadBits(d, 1) + 4;
      int delta;
      if (!ReadPretreeSymbol(d, table, overflow, pretreeLengths, delta)) return false;
      // The value comes from the run's first position and fills the whole run. A second symbol
      // of 17..19 can push it outside 0..16, which no code length may be.
      value = ApplyDelta(previous[pos], delta);
      if (value < 0 || value > static_cast<int>(lzx::kMaxCodeLength)) return false;
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

bool ReadTrees(LzxDecoder& d) {
  const unsigned matchSymbols = 8u * d.positionSlots;
  if (!ReadCodeLengths(d, lzx::kNumChars, d.previousMainLengths, d.mainLengths)) return false;
  if (!ReadCodeLengths(d, matchSymbols, d.previousMainLengths + lzx::kNumChars,
                       d.mainLengths + lzx::kNumChars)) {
    return false;
  }
  if (!BuildSymbolTables(lzx::kNumChars + matchSymbols, d.mainLengths, kMainFastBits, d.mainFast,
                         lzx::kMainTableBits, d.mainTable, d.mainOverflow)) {
    return false;
  }
  if (!ReadCodeLengths(d, lzx::kNumLengthSymbols, d.previousLengthLengths, d.lengthLengths)) return false;
  return BuildSymbolTables(lzx::kNumLengthSymbols, d.lengthLengths, kLengthFastBits, d.lengthFast,
                           lzx::kLengthTableBits, d.lengthTable, d.lengthOverflow);
}

bool ReadAlignedTree(LzxDecoder& d) {
  for (unsigned i = 0; i < lzx::kNumAlignedSymbols; ++i) {
    d.alignedLengths[i] = static_cast<uint8_t>(ReadBits(d, lzx::kAlignedLengthBits));
  }
  if (d.inputOverrun) return false;
  if (!BuildAlignedTable(d.alignedLengths, d.alignedTable)) return false;
  for (unsigned i = 0; i < (1u << lzx::kAlignedTableBits); ++i) {
    const uint8_t symbol = d.alignedTable[i];
    d.alignedFast[i] = static_cast<uint8_t>(symbol | d.alignedLengths[symbol] << 3);
  }
  return true;
}

}  // namespace vykcn

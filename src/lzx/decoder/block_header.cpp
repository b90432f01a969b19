// Block headers. The main and length trees are sent as differences from the code lengths they had
// (the previous block's, zeros at a stream's start), coded with a 20-symbol pretree; the
// aligned-offset tree as eight 3-bit lengths; an uncompressed block's header holds R0..R2 in its
// own bytes.
#include "lzx/decoder/block_header.h"

#include <cstring>

#include "base/byte_order.h"

namespace vykcn::lzx {

namespace {

// One pretree symbol, its code consumed; false if the input ran out meanwhile.
bool ReadPretreeSymbol(BitStream& b, const Pretree& pretree, int& symbol) {
  const uint32_t entry = TreeEntry(b, pretree.fast, kPretreeFastBits, pretree.table, pretree.overflow,
                                   kPretreeTableBits, pretree.lengths);
  symbol = static_cast<int>(entry & kFastSymbolMask);
  return ConsumeBits(b, entry >> kFastLengthShift);
}

bool ReadCodeLengthsWith(BitStream& b, unsigned count, const uint8_t* previous, uint8_t* current) {
  Pretree pretree;
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
bool ReadUncompressedHeader(BitStream& bits, RepeatedOffsets& repeated) {
  const uint8_t* cursor = bits.inputCursor - 2;
  // Never before the chunk's own data, and all 12 bytes inside the chunk's input.
  if (bits.inputCursor < bits.chunkData + 2 || bits.inputEnd - cursor < 12) return false;
  repeated = {ReadU32LE(cursor), ReadU32LE(cursor + 4), ReadU32LE(cursor + 8)};
  bits.inputCursor = cursor + 12;
  return true;
}

}  // namespace

// The trees are read on a copy of the stream's state: the lengths' byte stores would otherwise
// count, for the compiler, as possible stores to it.
bool ReadCodeLengths(BitStream& bits, unsigned count, const uint8_t* previous, uint8_t* current) {
  BitStream local = bits;
  const bool ok = ReadCodeLengthsWith(local, count, previous, current);
  bits = local;
  return ok;
}

bool ReadAlignedTree(BitStream& bits, AlignedTree& aligned) {
  for (uint8_t& length : aligned.lengths) length = static_cast<uint8_t>(ReadBits(bits, kAlignedLengthBits));
  if (bits.inputOverrun || !BuildAlignedTable(aligned.lengths, aligned.table)) return false;
  for (unsigned i = 0; i < (1u << kAlignedTableBits); ++i) {
    aligned.fast[i] = static_cast<uint8_t>(aligned.table[i] | aligned.lengths[aligned.table[i]] << 3);
  }
  return true;
}

bool ReadBlockHeader(BitStream& bits, BlockState& block, DecodeTables& tables) {
  if (block.headerPending) {
    block.headerPending = 0;
    block.translationSize = 0;
    if (ReadBits(bits, 1)) {
      const uint32_t high = ReadBits(bits, 16);
      block.translationSize = high << 16 | ReadBits(bits, 16);
    }
  }
  if (block.type == kBlockUncompressed) {
    // The bit stream resumes at the byte after the raw data; no padding byte is skipped.
    block.type = 0;
    PrimeBits(bits);
  }
  block.type = static_cast<int32_t>(ReadBits(bits, kBlockTypeBits));
  const uint32_t high = ReadBits(bits, 8);
  const uint32_t middle = ReadBits(bits, 8);
  block.size = static_cast<int32_t>(high << 16 | middle << 8 | ReadBits(bits, 8));
  block.remaining = block.size;
  const unsigned matchSymbols = 8u * block.positionSlots;
  MainTree& main = tables.main;
  LengthTree& length = tables.length;
  switch (block.type) {
    case kBlockAligned:
      if (!ReadAlignedTree(bits, tables.aligned)) return false;
      [[fallthrough]];
    case kBlockVerbatim: {
      // The lengths are read as differences from a copy of what they were. The main table is built
      // before the length tree is read: a main tree that fails leaves the length lengths as they were.
      uint8_t previousMain[kMaxMainSymbols];
      uint8_t previousLength[kNumLengthSymbols];
      std::memcpy(previousMain, main.lengths, kNumChars + matchSymbols);
      std::memcpy(previousLength, length.lengths, kNumLengthSymbols);
      if (!ReadCodeLengths(bits, kNumChars, previousMain, main.lengths) ||
          !ReadCodeLengths(bits, matchSymbols, previousMain + kNumChars, main.lengths + kNumChars) ||
          !BuildDecodeTables(kNumChars + matchSymbols, main.lengths, kMainFastBits, main.fast, kMainTableBits,
                             main.table, main.overflow) ||
          !ReadCodeLengths(bits, kNumLengthSymbols, previousLength, length.lengths) ||
          !BuildDecodeTables(kNumLengthSymbols, length.lengths, kLengthFastBits, length.fast, kLengthTableBits,
                             length.table, length.overflow)) {
        return false;
      }
      break;
    }
    case kBlockUncompressed:
      if (!ReadUncompressedHeader(bits, block.repeated)) return false;
      break;
    default:
      return false;
  }
  block.state = kBlockStateInside;
  return true;
}

}  // namespace vykcn::lzx

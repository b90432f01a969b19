#pragma once
// The decode tables: the footer tables of the position slots, and each tree's code lengths with
// the tables built from them at a block header (decode_tables.cpp); how wide each tree's lookups
// are and what their entries hold; and the one lookup of a code at the head of either bit reader
// (TreeEntry).
#include <cstdint>

#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

// A tree is looked up in a fast table of 2^fastBits entries: symbol | code length <<
// kFastLengthShift for a code of up to fastBits bits, kFastTableSlow for the prefix of a longer
// code. Those go through a narrower table (tableBits) and its overflow trees.
constexpr unsigned kMainFastBits = 12;
constexpr unsigned kMainTableBits = 10;
constexpr unsigned kLengthFastBits = 10;
constexpr unsigned kLengthTableBits = 8;
constexpr unsigned kPretreeFastBits = 8;
constexpr unsigned kPretreeTableBits = 8;
constexpr unsigned kAlignedTableBits = kMaxAlignedCodeLength;  // every aligned code fits
constexpr uint16_t kFastTableSlow = 0x8000;
constexpr unsigned kFastLengthShift = 10;
constexpr uint16_t kFastSymbolMask = (1u << kFastLengthShift) - 1;

// One tree's code lengths and decode tables: the fast table, and the narrow table with its
// overflow trees (4 entries per symbol) for the codes longer than the fast table's width.
template <unsigned kSymbols, unsigned kFastBits, unsigned kTableBits>
struct TreeTables {
  uint16_t fast[1 << kFastBits];
  int16_t table[1 << kTableBits];
  int16_t overflow[4 * kSymbols];
  uint8_t lengths[kSymbols];
};
using MainTree = TreeTables<kMaxMainSymbols, kMainFastBits, kMainTableBits>;
using LengthTree = TreeTables<kNumLengthSymbols, kLengthFastBits, kLengthTableBits>;
using Pretree = TreeTables<kNumPretreeSymbols, kPretreeFastBits, kPretreeTableBits>;

// The aligned-offset tree: every code fits its one table.
struct AlignedTree {
  uint8_t lengths[kNumAlignedSymbols];
  uint8_t table[1 << kAlignedTableBits];  // symbol
  uint8_t fast[1 << kAlignedTableBits];   // symbol | code length << 3, for one lookup per code
};

// The footer tables are copied in when a context is created (lzx_constants.h). The trees' tables
// are built at every block header that sends them and read only inside such a block; until then
// they hold what the heap gave.
struct DecodeTables {
  uint8_t extraBits[kNumExtraBitsEntries];  // a footer's bits, per position slot
  int32_t positionBase[kMaxPositionSlots];  // the offset a footer adds to, per position slot
  MainTree main;
  LengthTree length;
  AlignedTree aligned;
};

// The tables of the pretree, main and length trees, which differ only in size: the fast table,
// and the narrow table with its overflow trees for the codes longer than fastBits (tableBits <=
// fastBits). Accepts a complete code, and an empty one (every lookup gives symbol 0 and no bits);
// false for any other code, or a length above 16.
bool BuildDecodeTables(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast,
                       unsigned tableBits, int16_t* table, int16_t* overflow);
// The aligned-offset table (kAlignedTableBits wide, one symbol per entry). Its code space is
// summed in 16 bits, so a code over-subscribed by a multiple of the whole space passes that test,
// and unless a code then runs past the table's end, later symbols overwrite earlier ones.
bool BuildAlignedTable(const uint8_t* lengths, uint8_t* table);

// A tree's entry for the code at the head of either reader's buffer: symbol | code length <<
// kFastLengthShift, from the fast table, or for a longer code from the narrow table and its
// overflow trees.
template <typename Bits>
inline uint32_t TreeEntry(const Bits& b, const uint16_t* fast, unsigned fastBits, const int16_t* table,
                          const int16_t* overflow, unsigned tableBits, const uint8_t* lengths) {
  const uint32_t entry = fast[b.Peek(fastBits)];
  if (__builtin_expect(!(entry & kFastTableSlow), 1)) return entry;
  const uint32_t top = b.Top32();
  int symbol = table[top >> (32 - tableBits)];
  for (uint32_t mask = 1u << (31 - tableBits); symbol < 0; mask >>= 1) {
    symbol = overflow[2 * -symbol + ((top & mask) ? 1 : 0)];  // -k: overflow node k, two children
  }
  return static_cast<uint32_t>(symbol) | static_cast<uint32_t>(lengths[symbol]) << kFastLengthShift;
}

}  // namespace vykcn::lzx

#pragma once
// The decode tables: how wide each tree's lookups are, what their entries hold, and their builders
// (decode_tables.cpp).
#include <cstdint>

#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

struct LzxDecoder;

// A tree is looked up in a fast table of 2^fastBits entries: symbol | code length <<
// kFastLengthShift for a code of up to fastBits bits, kFastTableSlow for the prefix of a longer
// code. Those go through a narrower table (tableBits) and its overflow trees (TreeEntry, bit_reader.h).
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

// The item table of direct output's fast loop: one 32-bit entry per kMainFastBits-bit prefix of
// the bit stream, which gives a whole item where the prefix holds all of its codes. Bits 0-5: the
// bits the item takes up to an aligned code (main code, length code for header 7, the footer's
// verbatim bits). Unresolved: the main code is longer than the prefix, or the length code does not
// fit in what the main code leaves of it; the item is then read with mainFast.
constexpr uint32_t kItemBitsMask = 0x3F;
constexpr uint32_t kItemMatch = 1u << 6;       // else a literal
constexpr uint32_t kItemUnresolved = 1u << 7;
constexpr unsigned kItemValueShift = 8;        // bits 8-15: the literal, or the match's position slot
constexpr unsigned kItemLengthShift = 16;      // bits 16-24: the match length (2..257)
constexpr unsigned kItemFooterShift = 25;      // bits 25-29: the footer's verbatim bits
constexpr uint32_t kItemAligned = 1u << 30;    // an aligned code follows them

// The decode tables of the pretree, main and length trees, which differ only in size: the fast
// table, and the narrow table with its overflow trees (4 entries per symbol) for the codes longer
// than fastBits (tableBits <= fastBits). Accepts a complete code, and an empty one (every lookup
// gives symbol 0 and no bits); false for any other code, or a length above 16.
bool BuildDecodeTables(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast,
                       unsigned tableBits, int16_t* table, int16_t* overflow);
// The aligned-offset table (kAlignedTableBits wide, one symbol per entry). Its code space is
// summed in 16 bits, so a code over-subscribed by a multiple of the whole space passes that test,
// and unless a code then runs past the table's end, later symbols overwrite earlier ones.
bool BuildAlignedTable(const uint8_t* lengths, uint8_t* table);
// The item table from mainFast and lengthFast, for a verbatim or (`aligned`) an aligned block.
void BuildItemTable(LzxDecoder& decoder, bool aligned);

}  // namespace vykcn::lzx

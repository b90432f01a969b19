#pragma once
// The item table of direct output's fast loop (fast_loop.h): one 32-bit entry per kMainFastBits-bit
// prefix of the bit stream, which gives a whole item where the prefix holds all of its codes,
// built from the main and length trees' fast tables by the item rules (item_table.cpp).
#include <cstdint>

#include "lzx/decoder/decode_tables.h"

namespace vykcn::lzx {

// Bits 0-5: the bits the item takes up to an aligned code (main code, length code for header 7,
// the footer's verbatim bits). Unresolved: the main code is longer than the prefix, or the length
// code does not fit in what the main code leaves of it; the item is then read with the main tree.
constexpr uint32_t kItemBitsMask = 0x3F;
constexpr uint32_t kItemMatch = 1u << 6;       // else a literal
constexpr uint32_t kItemUnresolved = 1u << 7;
constexpr unsigned kItemValueShift = 8;        // bits 8-15: the literal, or the match's position slot
constexpr unsigned kItemLengthShift = 16;      // bits 16-24: the match length (2..257)
constexpr unsigned kItemFooterShift = 25;      // bits 25-29: the footer's verbatim bits
constexpr uint32_t kItemAligned = 1u << 30;    // an aligned code follows them

// The item table (1 << kMainFastBits entries) from the tables of a verbatim or (`aligned`) an
// aligned block.
void BuildItemTable(uint32_t* items, const DecodeTables& tables, bool aligned);

}  // namespace vykcn::lzx

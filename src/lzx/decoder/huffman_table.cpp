// Canonical Huffman decode tables. Codes are assigned shortest first and, within one length, in
// increasing symbol order. A narrow-table entry >= 0 is a symbol; -k leads to overflow node k,
// whose two children (next bit 0, next bit 1) are overflow[2k] and overflow[2k + 1].
#include <algorithm>
#include <cstring>

#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

namespace {

// Fills the `count` 16-bit entries of one code from `p`. A code of length l covers 2^(bits - l)
// entries, so `count` is 1, 2 or a multiple of 4; runs of 4 or more are written as whole 64-bit
// words instead of entry by entry (most of a table is long runs of the shortest codes).
inline void FillEntries(uint16_t* p, uint32_t count, uint16_t entry) {
  if (count >= 4) {
    const uint64_t word = entry * uint64_t{0x0001000100010001};
    for (uint32_t i = 0; i < count; i += 4) std::memcpy(p + i, &word, 8);
    return;
  }
  p[0] = entry;
  if (count == 2) p[1] = entry;
}

// Places a code longer than the table's width: its first tableBits bits pick a table entry, and
// each further bit walks one level down a binary tree of overflow nodes (pairs of entries; a
// negative entry is the index of the next node). `code16` is the code left-aligned to 16 bits.
inline void InsertLongCode(uint32_t code16, unsigned length, int16_t symbol, unsigned tableBits,
                           int16_t* table, int16_t* overflow, int* nextNode) {
  int16_t* entry = &table[code16 >> (16 - tableBits)];
  uint32_t rest = (code16 << tableBits) & 0xFFFF;  // bit 15 is the next code bit
  for (unsigned step = tableBits; step < length; ++step) {
    if (*entry == 0) {
      overflow[2 * *nextNode] = 0;
      overflow[2 * *nextNode + 1] = 0;
      *entry = static_cast<int16_t>(-*nextNode);
      ++*nextNode;
    }
    entry = &overflow[2 * -*entry + ((rest >> 15) & 1)];
    rest <<= 1;
  }
  *entry = symbol;
}

}  // namespace

bool BuildDecodeTables(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast,
                       unsigned tableBits, int16_t* table, int16_t* overflow) {
  uint32_t count[kMaxCodeLength + 2] = {};
  for (unsigned s = 0; s < symbolCount; ++s) {
    if (lengths[s] > kMaxCodeLength) return false;
    ++count[lengths[s]];
  }
  // Complete, or empty.
  uint32_t space = 0;
  for (unsigned l = 1; l <= kMaxCodeLength; ++l) space += count[l] << (16 - l);
  const uint32_t size = 1u << fastBits;
  if (space != 65536) {
    if (space != 0) return false;
    std::fill(fast, fast + size, uint16_t{0});  // every lookup gives symbol 0 and no bits
    return true;
  }

  // next[l]: next code of length l (right-aligned). Short codes fill the fast table from entry 0
  // up to `covered`; the entries after it are slow.
  uint32_t next[kMaxCodeLength + 2] = {};
  uint32_t covered = 0;
  for (unsigned l = 1; l <= kMaxCodeLength; ++l) {
    next[l + 1] = (next[l] + count[l]) << 1;
    if (l <= fastBits) covered += count[l] << (fastBits - l);
  }
  // The narrow table is only reached through a slow entry, that is for a code longer than
  // fastBits; only those codes are entered, in the entries from the first slow prefix on. The
  // other entries stay as they are (without slow entries, all of them), and an overflow child
  // that only a short code would take stays 0.
  if (covered < size) {
    std::fill(fast + covered, fast + size, kFastTableSlow);
    std::fill(table + (covered >> (fastBits - tableBits)), table + (1u << tableBits), int16_t{0});
  }

  int nextNode = static_cast<int>(symbolCount);
  for (unsigned s = 0; s < symbolCount; ++s) {
    const unsigned l = lengths[s];
    if (l == 0) continue;
    const uint32_t code = next[l]++;
    if (l <= fastBits) {
      const uint16_t entry = static_cast<uint16_t>(s | l << kFastLengthShift);
      FillEntries(fast + (code << (fastBits - l)), 1u << (fastBits - l), entry);
      continue;
    }
    InsertLongCode(code << (16 - l), l, static_cast<int16_t>(s), tableBits, table, overflow, &nextNode);
  }
  return true;
}

bool BuildAlignedTable(const uint8_t* lengths, uint8_t* table) {
  uint16_t count[kMaxCodeLength + 2] = {};
  for (unsigned s = 0; s < kNumAlignedSymbols; ++s) {
    if (lengths[s] > kMaxCodeLength) return false;
    ++count[lengths[s]];
  }
  // 16-bit sums (unlike BuildDecodeTables): a complete code wraps to exactly 0, so does an empty
  // one, and so does a code over-subscribed by a multiple of the whole space. Keeping this keeps
  // which corrupt streams decode.
  uint16_t start[kMaxCodeLength + 2] = {};
  for (unsigned l = 1; l <= kMaxCodeLength; ++l) {
    start[l + 1] = static_cast<uint16_t>(start[l] + (count[l] << (16 - l)));
  }
  if (start[kMaxCodeLength + 1] != 0) return false;

  uint32_t weight[kAlignedTableBits + 1] = {};
  for (unsigned l = 1; l <= kAlignedTableBits; ++l) {
    start[l] = static_cast<uint16_t>(start[l] >> (16 - kAlignedTableBits));
    weight[l] = 1u << (kAlignedTableBits - l);
  }
  constexpr uint32_t kTableSize = 1u << kAlignedTableBits;
  std::memset(table, 0, kTableSize);
  for (unsigned s = 0; s < kNumAlignedSymbols; ++s) {
    const unsigned l = lengths[s];
    if (l == 0) continue;
    if (l > kAlignedTableBits) return false;
    const uint32_t next = start[l] + weight[l];
    if (next > kTableSize) return false;
    for (uint32_t i = start[l]; i < next; ++i) table[i] = static_cast<uint8_t>(s);
    start[l] = static_cast<uint16_t>(next);
  }
  return true;
}

}  // namespace vykcn::lzx

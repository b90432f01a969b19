// Canonical Huffman decode tables. Codes are assigned shortest first and, within one length, in
// increasing symbol order. A table entry >= 0 is a symbol; -k leads to overflow node k, whose two
// children (next bit 0, next bit 1) are overflow[2k] and overflow[2k + 1].
#include <algorithm>
#include <cstring>

#include "lzx/decoder/lzx_decoder.h"

namespace vykcn {

namespace {

// Fills the `count` 16-bit entries of one code from `p`. A code of length l covers 2^(bits - l)
// entries, so `count` is 1, 2 or a multiple of 4; runs of 4 or more are written as whole 64-bit
// words instead of entry by entry (most of a table is long runs of the shortest codes).
template <typename Entry>
inline void FillEntries(Entry* p, uint32_t count, Entry entry) {
  if (count >= 4) {
    const uint64_t word = static_cast<uint16_t>(entry) * uint64_t{0x0001000100010001};
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

bool BuildDecodeTable(unsigned symbolCount, const uint8_t* lengths, unsigned tableBits, int16_t* table,
                      int16_t* overflow) {
  uint32_t count[lzx::kMaxCodeLength + 2] = {};
  for (unsigned s = 0; s < symbolCount; ++s) {
    if (lengths[s] > lzx::kMaxCodeLength) return false;
    ++count[lengths[s]];
  }

  // start[l]: first code of length l, left-aligned to 16 bits.
  uint32_t start[lzx::kMaxCodeLength + 2] = {};
  for (unsigned l = 1; l <= lzx::kMaxCodeLength; ++l) start[l + 1] = start[l] + (count[l] << (16 - l));
  const uint32_t tableSize = 1u << tableBits;
  if (start[lzx::kMaxCodeLength + 1] != 65536) {
    if (start[lzx::kMaxCodeLength + 1] != 0) return false;  // incomplete or over-subscribed
    std::memset(table, 0, tableSize * sizeof(int16_t));     // empty tree: every lookup gives 0
    return true;
  }

  uint32_t weight[lzx::kMaxCodeLength + 1] = {};
  for (unsigned l = 1; l <= lzx::kMaxCodeLength; ++l) {
    if (l <= tableBits) {
      start[l] >>= 16 - tableBits;
      weight[l] = 1u << (tableBits - l);
    } else {
      weight[l] = 1u << (16 - l);
    }
  }

  // Entries past the last short code lead into overflow trees; they start empty.
  const uint32_t firstLong = tableBits < lzx::kMaxCodeLength ? start[tableBits + 1] >> (16 - tableBits)
                                                              : tableSize;
  for (uint32_t i = firstLong; i < tableSize; ++i) table[i] = 0;

  int nextNode = static_cast<int>(symbolCount);
  for (unsigned s = 0; s < symbolCount; ++s) {
    const unsigned l = lengths[s];
    if (l == 0) continue;
    const uint32_t code = start[l];
    const uint32_t next = code + weight[l];
    start[l] = next;
    if (l <= tableBits) {
      if (next > tableSize) return false;
      FillEntries(table + code, next - code, static_cast<int16_t>(s));
      continue;
    }
    InsertLongCode(code, l, static_cast<int16_t>(s), tableBits, table, overflow, &nextNode);
  }
  return true;
}

bool BuildAlignedTable(const uint8_t* lengths, uint8_t* table) {
  uint16_t count[lzx::kMaxCodeLength + 2] = {};
  for (unsigned s = 0; s < lzx::kNumAlignedSymbols; ++s) {
    if (lengths[s] > lzx::kMaxCodeLength) return false;
    ++count[lengths[s]];
  }
  // 16-bit sums: a complete code wraps to exactly 0; so does an empty one.
  uint16_t start[lzx::kMaxCodeLength + 2] = {};
  for (unsigned l = 1; l <= lzx::kMaxCodeLength; ++l) {
    start[l + 1] = static_cast<uint16_t>(start[l] + (count[l] << (16 - l)));
  }
  if (start[lzx::kMaxCodeLength + 1] != 0) return false;

  uint32_t weight[lzx::kAlignedTableBits + 1] = {};
  for (unsigned l = 1; l <= lzx::kAlignedTableBits; ++l) {
    start[l] = static_cast<uint16_t>(start[l] >> (16 - lzx::kAlignedTableBits));
    weight[l] = 1u << (lzx::kAlignedTableBits - l);
  }
  constexpr uint32_t kTableSize = 1u << lzx::kAlignedTableBits;
  std::memset(table, 0, kTableSize);
  for (unsigned s = 0; s < lzx::kNumAlignedSymbols; ++s) {
    const unsigned l = lengths[s];
    if (l == 0) continue;
    if (l > lzx::kAlignedTableBits) return false;
    const uint32_t next = start[l] + weight[l];
    if (next > kTableSize) return false;
    for (uint32_t i = start[l]; i < next; ++i) table[i] = static_cast<uint8_t>(s);
    start[l] = static_cast<uint16_t>(next);
  }
  return true;
}

void BuildFastTable(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast) {
  const uint32_t size = 1u << fastBits;
  uint32_t count[lzx::kMaxCodeLength + 1] = {};
  for (unsigned s = 0; s < symbolCount; ++s) ++count[lengths[s]];
  if (count[0] == symbolCount) {  // empty tree: symbol 0, no bits, as the 10-bit table says
    std::fill(fast, fast + size, uint16_t{0});
    return;
  }
  // Shortest codes come first, so the codes that fit the width fill the table from entry 0 up to
  // `covered` (all of it for a complete code without longer codes); only the rest is marked slow,
  // and no entry is written twice.
  uint32_t next[lzx::kMaxCodeLength + 2] = {};
  uint32_t covered = 0;
  for (unsigned l = 1; l <= lzx::kMaxCodeLength; ++l) {
    next[l + 1] = (next[l] + count[l]) << 1;
    if (l <= fastBits) covered += count[l] << (fastBits - l);
  }
  if (covered < size) std::fill(fast + covered, fast + size, kFastTableSlow);
  for (unsigned s = 0; s < symbolCount; ++s) {
    const unsigned l = lengths[s];
    if (l == 0) continue;
    const uint32_t code = next[l]++;
    if (l > fastBits) continue;
    const uint16_t entry = static_cast<uint16_t>(s | l << kFastLengthShift);
    FillEntries(fast + (code << (fastBits - l)), 1u << (fastBits - l), entry);
  }
}

bool BuildSymbolTables(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast,
                       unsigned tableBits, int16_t* table, int16_t* overflow) {
  uint32_t count[lzx::kMaxCodeLength + 2] = {};
  for (unsigned s = 0; s < symbolCount; ++s) {
    if (lengths[s] > lzx::kMaxCodeLength) return false;
    ++count[lengths[s]];
  }
  // The same acceptance test as BuildDecodeTable: complete, or empty.
  uint32_t space = 0;
  for (unsigned l = 1; l <= lzx::kMaxCodeLength; ++l) space += count[l] << (16 - l);
  const uint32_t size = 1u << fastBits;
  if (space != 65536) {
    if (space != 0) return false;
    std::fill(fast, fast + size, uint16_t{0});  // every lookup gives symbol 0 and no bits
    return true;
  }

  // next[l]: next code of length l (right-aligned). Short codes fill the fast table from entry 0
  // up to `covered`; the entries after it are slow.
  uint32_t next[lzx::kMaxCodeLength + 2] = {};
  uint32_t covered = 0;
  for (unsigned l = 1; l <= lzx::kMaxCodeLength; ++l) {
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

}  // namespace vykcn

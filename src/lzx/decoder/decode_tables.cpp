// Canonical Huffman decode tables. Codes are assigned shortest first and, within one length, in
// increasing symbol order. A narrow-table entry >= 0 is a symbol; -k leads to overflow node k,
// whose two children (next bit 0, next bit 1) are overflow[2k] and overflow[2k + 1].
#include "lzx/decoder/decode_tables.h"

#include <algorithm>
#include <cstring>

namespace vykcn::lzx {

namespace {

// The `count` entries of one code from `p`: 1, 2 or a multiple of 4, the longer runs (most of a
// table, the shortest codes') in whole 64-bit words.
inline void FillEntries(uint16_t* p, uint32_t count, uint16_t entry) {
  if (count >= 4) {
    const uint64_t word = entry * uint64_t{0x0001000100010001};
    for (uint32_t i = 0; i < count; i += 4) std::memcpy(p + i, &word, 8);
    return;
  }
  p[0] = entry;
  if (count == 2) p[1] = entry;
}

}  // namespace

bool BuildDecodeTables(unsigned symbolCount, const uint8_t* lengths, unsigned fastBits, uint16_t* fast,
                       unsigned tableBits, int16_t* table, int16_t* overflow) {
  uint8_t longest = 0;
  for (unsigned s = 0; s < symbolCount; ++s) longest = std::max(longest, lengths[s]);
  if (longest > kMaxCodeLength) return false;
  // Four histograms, summed after: symbols of one length in a row do not wait on each other's count.
  uint32_t counts[4][kMaxCodeLength + 1] = {};
  unsigned s = 0;
  for (; s + 4 <= symbolCount; s += 4) {
    for (unsigned k = 0; k < 4; ++k) ++counts[k][lengths[s + k]];
  }
  for (; s < symbolCount; ++s) ++counts[0][lengths[s]];
  uint32_t count[kMaxCodeLength + 2] = {};
  for (unsigned l = 0; l <= kMaxCodeLength; ++l) count[l] = counts[0][l] + counts[1][l] + counts[2][l] + counts[3][l];
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

  // The short codes in canonical order, that is by length and within one length by symbol: each
  // fills the next run of 2^(fastBits - l) entries from entry 0 on, and the runs of one length have
  // one size, so that filling them costs no mispredicted branches.
  uint16_t sorted[kMaxMainSymbols];
  uint32_t first[kMaxCodeLength + 2] = {};
  for (unsigned l = 1; l <= kMaxCodeLength; ++l) first[l + 1] = first[l] + count[l];
  uint32_t place[kMaxCodeLength + 2];
  std::copy(first, first + kMaxCodeLength + 2, place);
  for (s = 0; s < symbolCount; ++s) {
    if (lengths[s] != 0 && lengths[s] <= fastBits) sorted[place[lengths[s]]++] = static_cast<uint16_t>(s);
  }
  uint16_t* entry = fast;
  for (unsigned l = 1; l <= fastBits; ++l) {
    const uint32_t run = size >> l;
    for (uint32_t k = first[l]; k < first[l] + count[l]; ++k) {
      FillEntries(entry, run, static_cast<uint16_t>(sorted[k] | l << kFastLengthShift));
      entry += run;
    }
  }

  // The long codes, in symbol order: a code's first tableBits bits pick a narrow-table entry, and
  // each further bit walks one level down a binary tree of overflow nodes (a pair of entries each).
  int nextNode = static_cast<int>(symbolCount);
  for (s = 0; s < symbolCount && covered < size; ++s) {
    const unsigned l = lengths[s];
    if (l <= fastBits) continue;
    const uint32_t code16 = next[l]++ << (16 - l);  // left-aligned to 16 bits
    int16_t* entry = &table[code16 >> (16 - tableBits)];
    for (int bit = 15 - static_cast<int>(tableBits); bit > 15 - static_cast<int>(l); --bit) {
      if (*entry == 0) {
        overflow[2 * nextNode] = overflow[2 * nextNode + 1] = 0;
        *entry = static_cast<int16_t>(-nextNode++);
      }
      entry = &overflow[2 * -*entry + ((code16 >> bit) & 1)];
    }
    *entry = static_cast<int16_t>(s);
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

  for (unsigned l = 1; l <= kAlignedTableBits; ++l) start[l] >>= 16 - kAlignedTableBits;
  constexpr uint32_t kTableSize = 1u << kAlignedTableBits;
  std::memset(table, 0, kTableSize);
  for (unsigned s = 0; s < kNumAlignedSymbols; ++s) {
    const unsigned l = lengths[s];
    if (l == 0) continue;
    if (l > kAlignedTableBits) return false;
    const uint32_t next = start[l] + (1u << (kAlignedTableBits - l));
    if (next > kTableSize) return false;
    for (uint32_t i = start[l]; i < next; ++i) table[i] = static_cast<uint8_t>(s);
    start[l] = static_cast<uint16_t>(next);
  }
  return true;
}

}  // namespace vykcn::lzx

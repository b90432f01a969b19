#pragma once
// What the parser produces and the block writer consumes: literals and matches, and their coded
// form (main symbol, length symbol, offset footer) under the repeated-offset queue R0, R1, R2.
#include <cstdint>
#include <vector>

#include "lzx/lzx_constants.h"

namespace vykcn::lzx {

// From slot 36 on, every slot has the widest footer, 17 bits; below it, slots double in pairs.
constexpr unsigned kFirstWideSlot = 36;
constexpr uint32_t kFirstWideFormatted = static_cast<uint32_t>(kPositionBase[kFirstWideSlot]) + 2;
static_assert(kExtraBits[kFirstWideSlot - 1] < kExtraBits[kFirstWideSlot] &&
              kExtraBits[kFirstWideSlot] == kExtraBits[kNumExtraBitsEntries - 1]);

// Position slot of a formatted offset (match offset + 2) of at least 3, that is of an explicit
// match offset of at least 1.
inline unsigned SlotOfFormattedOffset(uint32_t formatted) {
  if (formatted < 4) return formatted;
  if (formatted >= kFirstWideFormatted) {
    return kFirstWideSlot + ((formatted - kFirstWideFormatted) >> kExtraBits[kFirstWideSlot]);
  }
#if defined(__GNUC__) || defined(__clang__)
  const unsigned log2 = 31 - __builtin_clz(formatted);
#else
  unsigned log2 = 0;
  while ((formatted >> (log2 + 1)) != 0) ++log2;
#endif
  return 2 * log2 + ((formatted >> (log2 - 1)) & 1);
}

// The footer of an explicit match offset in its slot.
inline uint32_t FooterOf(uint32_t offset, unsigned slot) {
  return offset - static_cast<uint32_t>(kPositionBase[slot]);
}

inline unsigned MainMatchSymbol(unsigned slot, uint32_t length) {
  const uint32_t header = length - kMinMatchLength < kNumPrimaryLengths ? length - kMinMatchLength : kNumPrimaryLengths;
  return kNumChars + slot * 8 + header;
}

struct LzItem {
  uint32_t length;  // 1: literal; 2..257: match
  uint32_t value;   // literal byte, or match offset
};

struct RepeatQueue {
  uint32_t r[kNumRepeatedOffsets] = {1, 1, 1};
};

struct CodedItem {
  int mainSymbol;
  int lengthSymbol;  // -1 when the length fits the main symbol
  int footerBits;    // offset footer bits after the symbols (explicit offsets only)
  uint32_t footer;
};

// Codes one item and advances the queue. A match whose offset is in the queue always uses that
// repeated-offset slot (the lowest one when several hold it).
inline CodedItem CodeItem(const LzItem& item, RepeatQueue& queue) {
  if (item.length == 1) return {static_cast<int>(item.value), -1, 0, 0};
  const int lengthSymbol = item.length - kMinMatchLength >= kNumPrimaryLengths
                               ? static_cast<int>(item.length - kMinMatchLength - kNumPrimaryLengths)
                               : -1;
  for (unsigned k = 0; k < kNumRepeatedOffsets; ++k) {
    if (queue.r[k] == item.value) {
      queue.r[k] = queue.r[0];
      queue.r[0] = item.value;
      return {static_cast<int>(MainMatchSymbol(k, item.length)), lengthSymbol, 0, 0};
    }
  }
  const unsigned slot = SlotOfFormattedOffset(item.value + 2);
  queue.r[2] = queue.r[1];
  queue.r[1] = queue.r[0];
  queue.r[0] = item.value;
  return {static_cast<int>(MainMatchSymbol(slot, item.length)), lengthSymbol, kExtraBits[slot],
          FooterOf(item.value, slot)};
}

// Symbol counts of a run of items.
struct SymbolFrequencies {
  uint32_t main[kMaxMainSymbols] = {};
  uint32_t length[kNumLengthSymbols] = {};
  uint32_t aligned[kNumAlignedSymbols] = {};  // low 3 footer bits of offsets with 3 or more footer bits
  uint64_t verbatimFooterBits = 0;            // all footer bits, as a verbatim block writes them
  uint64_t alignedHighBits = 0;               // footer bits an aligned block writes outside the aligned code

  void Add(const CodedItem& coded) {
    main[coded.mainSymbol]++;
    if (coded.lengthSymbol >= 0) length[coded.lengthSymbol]++;
    verbatimFooterBits += coded.footerBits;
    if (coded.footerBits >= 3) {
      aligned[coded.footer & 7]++;
      alignedHighBits += coded.footerBits - 3;
    } else {
      alignedHighBits += coded.footerBits;
    }
  }
  void Add(const SymbolFrequencies& other) {
    for (unsigned i = 0; i < kMaxMainSymbols; ++i) main[i] += other.main[i];
    for (unsigned i = 0; i < kNumLengthSymbols; ++i) length[i] += other.length[i];
    for (unsigned i = 0; i < kNumAlignedSymbols; ++i) aligned[i] += other.aligned[i];
    verbatimFooterBits += other.verbatimFooterBits;
    alignedHighBits += other.alignedHighBits;
  }
};

inline void CountItems(const std::vector<LzItem>& items, RepeatQueue& queue, SymbolFrequencies& freq) {
  for (const LzItem& item : items) freq.Add(CodeItem(item, queue));
}

}  // namespace vykcn::lzx

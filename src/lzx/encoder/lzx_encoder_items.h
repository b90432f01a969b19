#pragma once
// What the parser produces and the block writer consumes: literals and matches, and their coded
// form (main symbol, length symbol, offset footer) under the repeated-offset queue R0, R1, R2.
#include <cstdint>
#include <vector>

#include "lzx/encoder/lzx_encoder_format.h"

namespace vykcn::lzx {

struct LzItem {
  uint32_t length;  // 1: literal; 2..257: match
  uint32_t value;   // literal byte, or match offset
};

struct RepeatQueue {
  uint32_t r[3] = {1, 1, 1};
};

struct CodedItem {
  int main_symbol;
  int length_symbol;    // -1 when the length fits the main symbol
  int footer_bits;      // offset footer bits after the symbols (explicit offsets only)
  uint32_t footer;
};

// Codes one item and advances the queue. A match whose offset is in the queue always uses that
// repeated-offset slot (the lowest one when several hold it).
inline CodedItem CodeItem(const LzItem& item, RepeatQueue& queue) {
  if (item.length == 1) return {static_cast<int>(item.value), -1, 0, 0};
  const int length_symbol =
      item.length - kMinMatch >= kPrimaryLengths ? static_cast<int>(item.length) - kMinMatch - kPrimaryLengths : -1;
  for (int k = 0; k < 3; ++k) {
    if (queue.r[k] == item.value) {
      queue.r[k] = queue.r[0];
      queue.r[0] = item.value;
      return {MainMatchSymbol(k, static_cast<int>(item.length)), length_symbol, 0, 0};
    }
  }
  const uint32_t formatted = item.value + 2;
  const int slot = SlotOfFormattedOffset(formatted);
  queue.r[2] = queue.r[1];
  queue.r[1] = queue.r[0];
  queue.r[0] = item.value;
  return {MainMatchSymbol(slot, static_cast<int>(item.length)), length_symbol, SlotFooterBits(slot),
          formatted - SlotBase(slot)};
}

// Symbol counts of a run of items.
struct SymbolFrequencies {
  uint32_t main[kMainSymbols] = {};
  uint32_t length[kLengthSymbols] = {};
  uint32_t aligned[kAlignedSymbols] = {};  // low 3 footer bits of offsets with 3 or more footer bits
  uint64_t verbatim_footer_bits = 0;       // all footer bits, as a verbatim block writes them
  uint64_t aligned_high_bits = 0;          // footer bits an aligned block writes outside the aligned code

  void Add(const CodedItem& coded) {
    main[coded.main_symbol]++;
    if (coded.length_symbol >= 0) length[coded.length_symbol]++;
    verbatim_footer_bits += coded.footer_bits;
    if (coded.footer_bits >= 3) {
      aligned[coded.footer & 7]++;
      aligned_high_bits += coded.footer_bits - 3;
    } else {
      aligned_high_bits += coded.footer_bits;
    }
  }
  void Add(const SymbolFrequencies& other) {
    for (int i = 0; i < kMainSymbols; ++i) main[i] += other.main[i];
    for (int i = 0; i < kLengthSymbols; ++i) length[i] += other.length[i];
    for (int i = 0; i < kAlignedSymbols; ++i) aligned[i] += other.aligned[i];
    verbatim_footer_bits += other.verbatim_footer_bits;
    aligned_high_bits += other.aligned_high_bits;
  }
};

inline void CountItems(const std::vector<LzItem>& items, RepeatQueue& queue, SymbolFrequencies& freq) {
  for (const LzItem& item : items) freq.Add(CodeItem(item, queue));
}

}  // namespace vykcn::lzx

// The item table (item_table.h): each entry resolved by the item rules (item_rules.h) from the
// prefix's main code and, for length header 7, its length code.
#include "lzx/decoder/item_table.h"

#include <algorithm>

#include "lzx/decoder/item_rules.h"

namespace vykcn::lzx {

void BuildItemTable(uint32_t* items, const DecodeTables& t, bool aligned) {
  constexpr uint32_t kSize = 1u << kMainFastBits;
  // Each main code of length l <= kMainFastBits fills an aligned run of 2^(kMainFastBits - l)
  // entries of the main tree's fast table (all of them for an empty code), the slow prefixes one
  // entry each.
  for (uint32_t i = 0; i < kSize;) {
    const uint16_t entry = t.main.fast[i];
    if (entry & kFastTableSlow) {
      items[i++] = kItemUnresolved;
      continue;
    }
    const unsigned symbol = entry & kFastSymbolMask;
    const unsigned codeLength = entry >> kFastLengthShift;
    const uint32_t run = kSize >> codeLength;
    if (symbol < kNumChars) {
      std::fill_n(items + i, run, codeLength | symbol << kItemValueShift);
      i += run;
      continue;
    }
    const unsigned header = LengthHeader(symbol);
    const FooterShape footer = FooterOf(t, MatchSlot(symbol), aligned);
    const uint32_t match = kItemMatch | MatchSlot(symbol) << kItemValueShift |
                           footer.verbatimBits << kItemFooterShift | (footer.alignedCode ? kItemAligned : 0);
    if (header != kNumPrimaryLengths) {
      std::fill_n(items + i, run,
                  match | (codeLength + footer.verbatimBits) | MatchLength(header, 0) << kItemLengthShift);
      i += run;
      continue;
    }
    // Length header 7: the length code follows in the `rest` bits of the prefix after the main
    // code. A length code of k <= rest bits fills an aligned run of 2^(rest - k) of them.
    const unsigned rest = kMainFastBits - codeLength;
    for (uint32_t j = 0; j < run;) {
      const uint32_t index = rest >= kLengthFastBits ? j >> (rest - kLengthFastBits) : j << (kLengthFastBits - rest);
      const uint16_t lengthEntry = t.length.fast[index];
      const unsigned k = lengthEntry >> kFastLengthShift;
      if ((lengthEntry & kFastTableSlow) || k > rest) {
        items[i + j++] = kItemUnresolved;
        continue;
      }
      const uint32_t length = MatchLength(header, lengthEntry & kFastSymbolMask);
      std::fill_n(items + i + j, 1u << (rest - k),
                  match | (codeLength + k + footer.verbatimBits) | length << kItemLengthShift);
      j += 1u << (rest - k);
    }
    i += run;
  }
}

}  // namespace vykcn::lzx

#pragma once
// The format's items, written down once: a literal, or a match with its length and offset. Every
// loop reads items through these helpers: the careful loop DecodeItems below, the fast loop
// (fast_loop.h), and BuildItemTable (item_table.cpp), which resolves whole items ahead.
//
// A main symbol below 256 is a literal. Above, symbol - 256 = slot * 8 + length header: a header
// of 0..6 gives the length 2..8, and 7 adds a length-tree symbol (9..257). Slots 0..2 take the
// repeated offset R0..R2; slot 3 up reads a footer of extraBits[slot] bits (in aligned blocks the
// low 3 of a footer of 3 bits or more come from the aligned tree) and the offset is
// positionBase[slot] + footer.
#include <cstdint>

#include "lzx/decoder/decode_tables.h"

namespace vykcn::lzx {

inline unsigned MatchSlot(unsigned symbol) { return (symbol - kNumChars) >> 3; }
inline unsigned LengthHeader(unsigned symbol) { return (symbol - kNumChars) & 7; }
// The match length for a length header and, for header 7 only, a length-tree symbol.
inline uint32_t MatchLength(unsigned header, unsigned lengthSymbol) { return header + lengthSymbol + kMinMatchLength; }

// A footer's verbatim bits in `slot`, and whether an aligned code follows them.
struct FooterShape {
  unsigned verbatimBits;
  bool alignedCode;
};
inline FooterShape FooterOf(const DecodeTables& t, unsigned slot, bool alignedBlock) {
  const unsigned extra = t.extraBits[slot];
  return alignedBlock && extra >= 3 ? FooterShape{extra - 3, true} : FooterShape{extra, false};
}

// R0..R2: offsets, each use masked with W - 1, or (the fast loop, on its own copy) the distances
// that masking amounts to (1..W), which follow the same rule. The decoder keeps them from item to
// item and block to block (BlockState); a loop works on a copy and stores it back.
struct RepeatedOffsets {
  uint32_t r0, r1, r2;

  // Slot 0 keeps R0, slots 1 and 2 swap theirs with R0, an explicit offset pushes R0 and R1 down.
  // Selects, not an indexed swap, so that the three stay in registers.
  void Take(unsigned slot, uint32_t explicitOffset) {
    if (slot < kNumRepeatedOffsets) {
      const uint32_t old = r0;
      r0 = slot == 0 ? old : slot == 1 ? r1 : r2;
      if (slot == 1) r1 = old;
      if (slot == 2) r2 = old;
      return;
    }
    r2 = r1;
    r1 = r0;
    r0 = explicitOffset;
  }
};

template <typename Bits>
inline uint32_t MainEntry(const DecodeTables& t, const Bits& b) {
  return TreeEntry(b, t.main.fast, kMainFastBits, t.main.table, t.main.overflow, kMainTableBits, t.main.lengths);
}

// `high` followed by the aligned code's 3 bits; symbol and code length in one lookup.
template <typename Bits>
inline uint32_t AppendAlignedCode(const DecodeTables& t, Bits& b, uint32_t high) {
  const unsigned entry = t.aligned.fast[b.Peek(kAlignedTableBits)];
  b.Consume(entry >> 3);
  return high << 3 | (entry & 7);
}

// The rest of a match after its main symbol: length, footer and the offset update; the match's
// offset is R0 afterwards. The length tree is looked up whatever the header, its code consumed only
// for header 7: no branch on the header, which no predictor guesses.
template <bool kAligned, typename Bits>
inline uint32_t DecodeMatch(const DecodeTables& t, Bits& b, unsigned symbol, RepeatedOffsets& r) {
  const unsigned header = LengthHeader(symbol);
  const uint32_t lengthEntry = TreeEntry(b, t.length.fast, kLengthFastBits, t.length.table, t.length.overflow,
                                         kLengthTableBits, t.length.lengths);
  const uint32_t used = 0u - static_cast<uint32_t>(header == kNumPrimaryLengths);  // all ones or 0
  b.Consume((lengthEntry >> kFastLengthShift) & used);
  const uint32_t length = MatchLength(header, (lengthEntry & kFastSymbolMask) & used);

  b.RefillForFooter();
  const unsigned slot = MatchSlot(symbol);
  const FooterShape footer = FooterOf(t, slot, kAligned);
  uint32_t value = b.PeekUpTo17(footer.verbatimBits);  // 0 bits for slots 0..3
  b.Consume(footer.verbatimBits);
  if (kAligned && footer.alignedCode) value = AppendAlignedCode(t, b, value);
  r.Take(slot, static_cast<uint32_t>(t.positionBase[slot]) + value);
  return length;
}

// The careful loop: items from `pos` while it is below `target`, each handed to `sink`:
// Literal(pos, byte), and Match(pos, offset, length), which may refuse it. Returns false when the
// input is exhausted before an item or the sink refused one; `pos` is where it stopped.
template <bool kAligned, typename Bits, typename Position, typename Sink>
inline bool DecodeItems(const DecodeTables& t, Bits& b, RepeatedOffsets& r, Position& pos, Position target,
                        Sink& sink) {
  while (pos < target) {
    b.Refill();
    const uint32_t entry = MainEntry(t, b);
    if (b.InputExhausted()) return false;
    b.Consume(entry >> kFastLengthShift);
    const unsigned symbol = entry & kFastSymbolMask;
    if (symbol < kNumChars) {
      sink.Literal(pos++, static_cast<uint8_t>(symbol));
      continue;
    }
    const uint32_t length = DecodeMatch<kAligned>(t, b, symbol, r);
    if (!sink.Match(pos, r.r0, length)) return false;
    pos += length;
  }
  return true;
}

}  // namespace vykcn::lzx

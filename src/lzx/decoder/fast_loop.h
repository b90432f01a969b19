#pragma once
// Direct output's fast loop (a FastLoop, direct_output.h): whole items from the item table
// (item_table.h), a span reader that refills without a branch and never tests the input limit, and
// matches copied with overrun. It runs only where neither can matter (direct_output.cpp stops it
// early enough). Written once, here; the CPU-specific code (x86/) compiles its copies for the
// instruction sets it chooses among at run time, with its own word load where it has a faster one.
#include <cstdint>

#include "lzx/decoder/bit_stream.h"
#include "lzx/decoder/decoder_state.h"
#include "lzx/decoder/item_rules.h"
#include "lzx/decoder/item_table.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

// The copies this processor runs best, or (`baseline`) those every processor of its kind runs.
const FastLoops& ChooseFastLoops(bool baseline);

template <bool kAligned, typename Words>
[[gnu::always_inline]] inline bool RunFastLoop(LzxDecoder& d, uint8_t*& cursor, uint8_t* const outLimit,
                                               uint8_t* const target, const uint8_t* const inLimit) {
  const DecodeTables& t = d.tables;
  uint8_t* const begin = d.direct.begin;
  SpanBits<false, Words> b(d.bits);
  // The repeated offsets as distances: every use masks an offset with W - 1, so only its value
  // modulo W counts, and explicit offsets already lie in 1..W-3.
  RepeatedOffsets r = d.block.repeated;
  r.r0 = MatchDistance(r.r0, d.window.mask);
  r.r1 = MatchDistance(r.r1, d.window.mask);
  r.r2 = MatchDistance(r.r2, d.window.mask);
  uint8_t* out = cursor;
  bool ok = true;
  // At each item the buffer holds at least 48 bits and `item` is the entry at its head.
  b.Refill();
  uint32_t item = d.direct.items[b.Peek(kMainFastBits)];
  while (out < outLimit && b.next < inLimit) {
    if (!(item & (kItemMatch | kItemUnresolved))) {
      b.Consume(item & kItemBitsMask);
      *out++ = static_cast<uint8_t>(item >> kItemValueShift);
      item = d.direct.items[b.Peek(kMainFastBits)];
      b.Refill();
      continue;
    }
    uint32_t length;
    if (__builtin_expect(!(item & kItemUnresolved), 1)) {
      // The codes and the footer's verbatim bits go in one shift; the footer is the last of them.
      const unsigned itemBits = item & kItemBitsMask;  // at least 1: a match has a code
      const unsigned footerBits = (item >> kItemFooterShift) & 31;
      uint32_t footer = static_cast<uint32_t>((b.bits >> 1) >> (63 - itemBits)) & ((1u << footerBits) - 1);
      b.Consume(itemBits);
      if (kAligned && (item & kItemAligned)) footer = AppendAlignedCode(t, b, footer);
      const unsigned slot = (item >> kItemValueShift) & 0xFF;
      r.Take(slot, static_cast<uint32_t>(t.positionBase[slot]) + footer);
      length = (item >> kItemLengthShift) & 0x1FF;
    } else {
      const uint32_t entry = MainEntry(t, b);
      b.Consume(entry >> kFastLengthShift);
      const unsigned symbol = entry & kFastSymbolMask;
      if (symbol < kNumChars) {
        *out++ = static_cast<uint8_t>(symbol);
        b.Refill();
        item = d.direct.items[b.Peek(kMainFastBits)];
        continue;
      }
      length = DecodeMatch<kAligned>(t, b, symbol, r);
    }
    if (length > static_cast<size_t>(target - out)) {
      ok = false;
      break;
    }
    if (__builtin_expect(r.r0 <= static_cast<size_t>(out - begin), 1)) {
      CopyMatch<true>(out, r.r0, length);
    } else {
      CopyMatchCarefully(begin, static_cast<size_t>(out - begin), r.r0, length, 0, SIZE_MAX, 0);
    }
    out += length;
    b.Refill();
    item = d.direct.items[b.Peek(kMainFastBits)];
  }
  b.Store(d.bits);
  d.block.repeated = r;
  cursor = out;
  return ok;
}

}  // namespace vykcn::lzx

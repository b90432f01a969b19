#pragma once
// One main-tree item (a literal, or a match with its length and offset) as the span decoders read
// it, and the register forms of the bit reader they read it with. Every span decoder, in the
// window and in direct output, decodes items through DecodeItem, so the format is written down once
// here; the forms differ only in how far ahead they load and how they test the input limit.
//
// The input limit: an item may start only while the checked 32-bit reader (bit_reader.h), at that
// bit position, would still have its cursor before inputEnd. Every form answers InputExhausted()
// for exactly that condition, so all of them fail on exactly the same inputs. Bits loaded past
// inputEnd are the source's bytes, and zeros past the source's end (kBounded loads).
#include <cstdint>

#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

// Bytes past inputEnd that a span decoder may load before its next input test (five words of
// codes per item, the wide buffer's look-ahead of up to three words): well inside this.
constexpr ptrdiff_t kLookAheadBytes = 32;

template <bool kBounded>
inline uint32_t LoadWord(const uint8_t* p, const LzxDecoder& d) {
  if (kBounded) return LoadWordBounded(p, d.sourceBegin, d.sourceEnd);
  return ReadU16LE(p);
}

// The checked reader's own 32-bit form, refilled a word at a time as codes are consumed (used for
// the few window positions below 257).
template <bool kBounded>
struct NarrowBits {
  uint32_t buffer;
  int count;  // valid bits - 16
  const uint8_t* cursor;
  const LzxDecoder& d;

  explicit NarrowBits(const LzxDecoder& decoder)
      : buffer(decoder.bitBuffer), count(decoder.bitCount), cursor(decoder.inputCursor), d(decoder) {}
  void Store(LzxDecoder& decoder) const {
    decoder.bitBuffer = buffer;
    decoder.bitCount = static_cast<int8_t>(count);
    decoder.inputCursor = cursor;
  }
  void Refill() {}
  void RefillForFooter() {}
  uint32_t Top32() const { return buffer; }
  uint32_t Peek(unsigned n) const { return buffer >> (32 - n); }
  uint32_t PeekUpTo17(unsigned n) const { return (buffer >> 1) >> (31 - n); }
  bool InputExhausted() const { return cursor >= d.inputEnd; }
  void Consume(unsigned n) {
    count -= static_cast<int>(n);
    buffer <<= n;
    if (count <= 0) {
      buffer |= LoadWord<kBounded>(cursor, d) << -count;
      cursor += 2;
      count += 16;
      if (count <= 0) {  // only a 17-bit footer can need a second word
        buffer |= LoadWord<kBounded>(cursor, d) << -count;
        cursor += 2;
        count += 16;
      }
    }
  }
};

// A 64-bit buffer refilled two words at a time, once before the main and length codes and once
// before the footer.
template <bool kBounded>
struct WideBits {
  uint64_t buffer;  // valid bits at the top, zeros below
  int avail;
  const uint8_t* cursor;
  const LzxDecoder& d;

  explicit WideBits(const LzxDecoder& decoder)
      : buffer(static_cast<uint64_t>(decoder.bitBuffer) << 32), avail(decoder.bitCount + 16),
        cursor(decoder.inputCursor), d(decoder) {
    if (avail < 0) avail = 0;  // only after an overrun, which no span follows
  }

  // Back to the 32-bit form: 17 to 32 valid bits, the words held beyond that given back.
  void Store(LzxDecoder& decoder) {
    while (avail < 17) AddWord(LoadWord<kBounded>(cursor, d));
    StoreWideBits(decoder, buffer, static_cast<unsigned>(avail), cursor);
  }
  void AddWord(uint32_t word) {
    buffer |= static_cast<uint64_t>(word) << (48 - avail);
    avail += 16;
    cursor += 2;
  }
  // Tops the buffer up to at least 33 bits: two words at a time.
  void Refill() {
    if (avail > 32) return;
    if (kBounded) {
      AddWord(LoadWord<true>(cursor, d));
      AddWord(LoadWord<true>(cursor, d));
      return;
    }
    const uint32_t raw = ReadU32LE(cursor);
    const uint64_t ordered = static_cast<uint32_t>(raw << 16 | raw >> 16);  // first word on top
    buffer |= ordered << (32 - avail);
    avail += 32;
    cursor += 4;
  }
  void RefillForFooter() { Refill(); }
  uint32_t Top32() const { return static_cast<uint32_t>(buffer >> 32); }
  uint32_t Peek(unsigned n) const { return static_cast<uint32_t>(buffer >> (64 - n)); }
  uint32_t PeekUpTo17(unsigned n) const { return static_cast<uint32_t>((buffer >> 1) >> (63 - n)); }
  // The 32-bit reader's cursor lags by the whole words held beyond its 17..32 bits.
  // The exact test only near the end: the 32-bit cursor is never ahead of this one.
  bool InputExhausted() const {
    return __builtin_expect(cursor + 8 >= d.inputEnd, 0) && cursor - 2 * ((avail - 17) >> 4) >= d.inputEnd;
  }
  void Consume(unsigned n) {
    buffer <<= n;
    avail -= static_cast<int>(n);
  }
};

// n from 0 to 17 (Peek needs at least 1).
template <typename Bits>
inline uint32_t TakeUpTo17(Bits& b, unsigned n) {
  const uint32_t value = b.PeekUpTo17(n);
  b.Consume(n);
  return value;
}

// Decodes one main-tree item. Returns false when the input is exhausted before it; otherwise
// `length` is 0 for a literal (in `literal`) or the match length, with the offset in `offset`.
//
// A main symbol below 256 is a literal. Above, symbol - 256 = slot * 8 + length header: a header
// of 0..6 gives the length 2..8, and 7 adds a length-tree symbol (9..257). Slots 0..2 take the
// repeated offset R0..R2; slot 3 up reads a footer of extraBits[slot] bits (in aligned blocks the
// low 3 of a footer of 3 bits or more come from the aligned tree) and the offset is
// positionBase[slot] + footer.
template <bool kAligned, typename Bits>
inline bool DecodeItem(const LzxDecoder& d, Bits& b, int32_t* r, uint32_t& length, uint32_t& literal,
                       uint32_t& offset) {
  b.Refill();
  // One lookup gives symbol and code length for all but the longest codes.
  uint32_t entry = d.mainFast[b.Peek(kMainFastBits)];
  if (__builtin_expect(entry & kFastTableSlow, 0)) {
    const int slow = DecodeSymbol(b.Top32(), d.mainTable, d.mainOverflow, kMainTableBits);
    entry = static_cast<uint32_t>(slow) | static_cast<uint32_t>(d.mainLengths[slow]) << kFastLengthShift;
  }
  if (b.InputExhausted()) return false;
  b.Consume(entry >> kFastLengthShift);
  const unsigned symbol = entry & kFastSymbolMask;
  if (symbol < kNumChars) {
    length = 0;
    literal = symbol;
    return true;
  }
  const unsigned m = symbol - kNumChars;
  unsigned lengthHeader = m & 7;
  const unsigned slot = m >> 3;
  if (lengthHeader == kNumPrimaryLengths) {
    uint32_t lengthEntry = d.lengthFast[b.Peek(kLengthFastBits)];
    if (__builtin_expect(lengthEntry & kFastTableSlow, 0)) {
      const int slow = DecodeSymbol(b.Top32(), d.lengthTable, d.lengthOverflow, kLengthTableBits);
      lengthEntry = static_cast<uint32_t>(slow) | static_cast<uint32_t>(d.lengthLengths[slow]) << kFastLengthShift;
    }
    b.Consume(lengthEntry >> kFastLengthShift);
    lengthHeader += lengthEntry & kFastSymbolMask;
  }
  length = lengthHeader + kMinMatchLength;

  if (slot < kNumRepeatedOffsets) {
    // Slot 0 reuses R0; slots 1 and 2 swap their offset with R0. One indexed swap (a no-op for
    // slot 0) instead of a branch on the slot, which the decoder cannot predict.
    const int32_t chosen = r[slot];
    r[slot] = r[0];
    r[0] = chosen;
    offset = static_cast<uint32_t>(chosen);
    return true;
  }
  const unsigned extra = d.extraBits[slot];
  b.RefillForFooter();  // the footer may not fit what the item's refill left
  uint32_t value;
  // Footers of 0 bits are read as 0 without a branch: slot 3 has no footer and a base of 1.
  if (kAligned && extra >= 3) {
    const uint32_t high = TakeUpTo17(b, extra - 3);
    // Symbol and code length in one lookup: the next item's bits wait on this consume.
    const unsigned alignedEntry = d.alignedFast[b.Peek(kAlignedTableBits)];
    const unsigned aligned = alignedEntry & 7;
    b.Consume(alignedEntry >> 3);
    value = static_cast<uint32_t>(d.positionBase[slot]) + (high << 3) + aligned;
  } else {
    value = static_cast<uint32_t>(d.positionBase[slot]) + TakeUpTo17(b, extra);
  }
  r[2] = r[1];
  r[1] = r[0];
  r[0] = static_cast<int32_t>(value);
  offset = value;
  return true;
}

}  // namespace vykcn::lzx

#pragma once
// The LZX bit stream: 16-bit little-endian words, bits taken from the most significant end. Both
// readers leave the decoder's 32-bit form between reads: `bitBuffer` holds the next unread bit in
// bit 31 and, while input lasts, 17 to 32 valid bits (`bitCount` = valid bits - 16), and
// `inputCursor` is the first word not in it. The checked reader (ReadBits), for block headers and
// trees, refills a word at a time and never past inputEnd, where it sets inputOverrun instead;
// SpanBits, for a block's items, loads ahead and tests the input limit once per main symbol.
#include <cstdint>

#include "base/byte_order.h"
#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

// The 16-bit little-endian word at `p`. Bytes outside the source buffer read as 0, so that no
// look-ahead on corrupt input ever leaves the buffer.
inline uint32_t LoadWordBounded(const uint8_t* p, const uint8_t* begin, const uint8_t* end) {
  if (p >= begin && end - p >= 2) return ReadU16LE(p);
  return (p >= begin && p < end ? p[0] : 0u) | (p + 1 >= begin && p + 1 < end ? p[1] << 8 : 0u);
}

// Restarts the bit stream at `inputCursor` (each chunk, and after an uncompressed block).
inline void PrimeBitReader(LzxDecoder& d) {
  if (d.blockType == kBlockUncompressed || d.inputEnd - d.inputCursor < 4) return;  // raw bytes come unprimed
  const uint32_t high = LoadWordBounded(d.inputCursor, d.sourceBegin, d.sourceEnd);
  d.bitBuffer = high << 16 | LoadWordBounded(d.inputCursor + 2, d.sourceBegin, d.sourceEnd);
  d.bitCount = 16;
  d.inputCursor += 4;
}

// The checked reader's fields apart from the decoder, for tree reading, whose byte stores the
// compiler would otherwise take for stores to the decoder's fields. The checked reads take either.
struct CheckedBits {
  uint32_t bitBuffer;
  int8_t bitCount;
  uint8_t inputOverrun;
  const uint8_t* inputCursor;
  const uint8_t* inputEnd;
  const uint8_t* sourceBegin;
  const uint8_t* sourceEnd;

  explicit CheckedBits(const LzxDecoder& d)
      : bitBuffer(d.bitBuffer), bitCount(d.bitCount), inputOverrun(d.inputOverrun), inputCursor(d.inputCursor),
        inputEnd(d.inputEnd), sourceBegin(d.sourceBegin), sourceEnd(d.sourceEnd) {}
  void Store(LzxDecoder& d) const {
    d.bitBuffer = bitBuffer;
    d.bitCount = bitCount;
    d.inputOverrun = inputOverrun;
    d.inputCursor = inputCursor;
  }
  uint32_t Top32() const { return bitBuffer; }
  uint32_t Peek(unsigned n) const { return bitBuffer >> (32 - n); }
};

// Drops n (0..17) bits and refills up to two words; past inputEnd it sets inputOverrun instead.
// Returns false when this call's refill found the input exhausted.
template <typename Reader>
inline bool ConsumeBits(Reader& d, unsigned n) {
  bool exhausted = false;
  int count = d.bitCount - static_cast<int>(n);
  d.bitBuffer <<= n;
  for (int words = 0; count <= 0 && words < 2; ++words) {
    if (d.inputCursor >= d.inputEnd) {
      d.inputOverrun = 1;
      exhausted = true;
      break;
    }
    const uint32_t word = LoadWordBounded(d.inputCursor, d.sourceBegin, d.sourceEnd);
    if (count > -32) d.bitBuffer |= word << -count;  // only after an overrun can it sink that low
    d.inputCursor += 2;
    count += 16;
  }
  d.bitCount = static_cast<int8_t>(count < -64 ? -64 : count);
  return !exhausted;
}

// n from 1 to 17.
template <typename Reader>
inline uint32_t ReadBits(Reader& d, unsigned n) {
  const uint32_t value = d.bitBuffer >> (32 - n);
  ConsumeBits(d, n);
  return value;
}

// Four words at `p` as 64 stream bits, the first word's on top. (x86/ has a faster load.)
struct PortableWords {
  static uint64_t Load(const uint8_t* p) {
    return uint64_t{ReadU16LE(p)} << 48 | uint64_t{ReadU16LE(p + 2)} << 32 | uint64_t{ReadU16LE(p + 4)} << 16 |
           ReadU16LE(p + 6);
  }
};

// The span reader: `bits` holds the next unread bit in bit 63 and `avail` (at most 64) counted
// bits, zeros or the stream's next bits below them (topping up ORs the same values in again), and
// `next` is the first byte not counted. kBounded checks every word against the source's bounds
// (zeros outside); the other form loads 8 bytes at `next` without a branch, where its caller knows
// them inside the source.
template <bool kBounded, typename Words = PortableWords>
struct SpanBits {
  uint64_t bits;
  unsigned avail;
  const uint8_t* next;
  const LzxDecoder& d;  // inputEnd and the source's bounds

  explicit SpanBits(const LzxDecoder& decoder)
      : bits(static_cast<uint64_t>(decoder.bitBuffer) << 32),
        avail(decoder.bitCount > -16 ? static_cast<unsigned>(decoder.bitCount + 16) : 0),  // less only after an overrun
        next(decoder.inputCursor), d(decoder) {}

  void AddWord() {
    bits |= static_cast<uint64_t>(LoadWordBounded(next, d.sourceBegin, d.sourceEnd)) << (48 - avail);
    avail += 16;
    next += 2;
  }
  // At least 33 bits afterwards: two words where 32 or fewer are left. Unbounded, at least 48: the
  // next four words go in below the counted bits, and as many whole words as fit are counted: 3, 2,
  // 1 or 0 for avail in 0..15, 16..31, 32..47, 48..63, which is what setting bits 4 and 5 adds.
  void Refill() {
    if (kBounded) {
      if (avail <= 32) AddWord(), AddWord();
      return;
    }
    bits |= Words::Load(next) >> avail;
    next += (~avail & 48) >> 3;
    avail |= 48;
  }
  // Before a footer (up to 17 verbatim bits, or 14 and a 7-bit aligned code), after main and
  // length codes of up to 16 bits each.
  void RefillForFooter() {
    if (__builtin_expect(avail < 21, 0)) Refill();
  }
  uint32_t Top32() const { return static_cast<uint32_t>(bits >> 32); }
  uint32_t Peek(unsigned n) const { return static_cast<uint32_t>(bits >> (64 - n)); }
  uint32_t PeekUpTo17(unsigned n) const { return static_cast<uint32_t>((bits >> 1) >> (63 - n)); }  // n may be 0
  void Consume(unsigned n) {
    bits <<= n;
    avail -= n;
  }
  // Whether the checked reader, at this bit position, would have its cursor at inputEnd or past:
  // it holds 17 to 32 of the counted bits, and lags by the whole words beyond those. An item may
  // start only while it would not. (The exact test only near the end.)
  bool InputExhausted() const {
    return __builtin_expect(next + 8 >= d.inputEnd, 0) && next - 2 * ((avail - 17) >> 4) >= d.inputEnd;
  }
  // Back to the 32-bit form, the words held beyond it given back.
  void Store(LzxDecoder& decoder) {
    while (avail < 17) AddWord();
    const unsigned extraWords = (avail - 17) >> 4;
    const unsigned narrow = avail - 16 * extraWords;
    decoder.bitBuffer = static_cast<uint32_t>((bits & ~(~uint64_t{0} >> narrow)) >> 32);
    decoder.bitCount = static_cast<int8_t>(narrow - 16);
    decoder.inputCursor = next - 2 * extraWords;
  }
};

// A tree's entry at the head of either reader's buffer: symbol | code length << kFastLengthShift,
// from the fast table, or for a longer code from the narrow table and its overflow trees.
template <typename Bits>
inline uint32_t TreeEntry(const Bits& b, const uint16_t* fast, unsigned fastBits, const int16_t* table,
                          const int16_t* overflow, unsigned tableBits, const uint8_t* lengths) {
  const uint32_t entry = fast[b.Peek(fastBits)];
  if (__builtin_expect(!(entry & kFastTableSlow), 1)) return entry;
  const uint32_t top = b.Top32();
  int symbol = table[top >> (32 - tableBits)];
  for (uint32_t mask = 1u << (31 - tableBits); symbol < 0; mask >>= 1) {
    symbol = overflow[2 * -symbol + ((top & mask) ? 1 : 0)];  // -k: overflow node k, two children
  }
  return static_cast<uint32_t>(symbol) | static_cast<uint32_t>(lengths[symbol]) << kFastLengthShift;
}

}  // namespace vykcn::lzx

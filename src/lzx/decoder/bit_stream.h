#pragma once
// The LZX bit stream: 16-bit little-endian words, bits taken from the most significant end.
// BitStream is the stream's state between reads, as the decoder keeps it: `bitBuffer` holds the
// next unread bit in bit 31 and, while input lasts, 17 to 32 valid bits (`bitCount` = valid bits -
// 16), and `inputCursor` is the first word not in it. Two readers work from it:
//  - the checked reader (ConsumeBits, ReadBits), for block headers and trees, reads the BitStream
//    itself: it refills a word at a time and never past inputEnd, where it sets inputOverrun;
//  - SpanBits, for a block's items, is built from it, loads ahead into 64 bits, tests the input limit
//    once per main symbol, and stores its position back at the span's end.
#include <cstdint>

#include "base/byte_order.h"

namespace vykcn::lzx {

struct BitStream {
  uint32_t bitBuffer = 0;                // next unread bit in bit 31
  int8_t bitCount = 0;                   // buffered bits beyond 16; <= 0 means a refill is due
  uint8_t inputOverrun = 0;              // sticky: a checked refill found the input exhausted
  const uint8_t* inputCursor = nullptr;  // next input byte not yet in bitBuffer
  const uint8_t* inputEnd = nullptr;     // the chunk's data + its compressed size + 4
  // Bounds of the caller's source buffer and of the current chunk's data. No read ever leaves
  // [sourceBegin, sourceEnd); an uncompressed block header never steps back before chunkData.
  const uint8_t* sourceBegin = nullptr;
  const uint8_t* sourceEnd = nullptr;
  const uint8_t* chunkData = nullptr;

  uint32_t Top32() const { return bitBuffer; }
  uint32_t Peek(unsigned n) const { return bitBuffer >> (32 - n); }
};

// The 16-bit little-endian word at `p`. Bytes outside the source buffer read as 0, so that no
// look-ahead on corrupt input ever leaves the buffer.
inline uint32_t LoadWordBounded(const uint8_t* p, const uint8_t* begin, const uint8_t* end) {
  if (p >= begin && end - p >= 2) return ReadU16LE(p);
  return (p >= begin && p < end ? p[0] : 0u) | (p + 1 >= begin && p + 1 < end ? p[1] << 8 : 0u);
}

// Makes the `size` bytes at `data` the current chunk's input; the readers may look 4 bytes past it.
inline void BeginChunk(BitStream& bits, const uint8_t* data, uint32_t size) {
  bits.inputCursor = data;
  bits.inputEnd = data + size + 4;
  bits.chunkData = data;
}

// Restarts the stream at inputCursor with its first two words (at a chunk's start, and after an
// uncompressed block), unless fewer than 4 bytes are left before inputEnd.
inline void PrimeBits(BitStream& bits) {
  if (bits.inputEnd - bits.inputCursor < 4) return;
  const uint32_t high = LoadWordBounded(bits.inputCursor, bits.sourceBegin, bits.sourceEnd);
  bits.bitBuffer = high << 16 | LoadWordBounded(bits.inputCursor + 2, bits.sourceBegin, bits.sourceEnd);
  bits.bitCount = 16;
  bits.inputCursor += 4;
}

// Drops n (0..17) bits and refills up to two words; past inputEnd it sets inputOverrun instead.
// Returns false when this call's refill found the input exhausted.
inline bool ConsumeBits(BitStream& bits, unsigned n) {
  bool exhausted = false;
  int count = bits.bitCount - static_cast<int>(n);
  bits.bitBuffer <<= n;
  for (int words = 0; count <= 0 && words < 2; ++words) {
    if (bits.inputCursor >= bits.inputEnd) {
      bits.inputOverrun = 1;
      exhausted = true;
      break;
    }
    const uint32_t word = LoadWordBounded(bits.inputCursor, bits.sourceBegin, bits.sourceEnd);
    if (count > -32) bits.bitBuffer |= word << -count;  // only after an overrun can it sink that low
    bits.inputCursor += 2;
    count += 16;
  }
  bits.bitCount = static_cast<int8_t>(count < -64 ? -64 : count);
  return !exhausted;
}

// n from 1 to 17.
inline uint32_t ReadBits(BitStream& bits, unsigned n) {
  const uint32_t value = bits.bitBuffer >> (32 - n);
  ConsumeBits(bits, n);
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
  const BitStream& stream;  // inputEnd and the source's bounds

  explicit SpanBits(const BitStream& from)
      : bits(static_cast<uint64_t>(from.bitBuffer) << 32),
        avail(from.bitCount > -16 ? static_cast<unsigned>(from.bitCount + 16) : 0),  // less only after an overrun
        next(from.inputCursor), stream(from) {}

  void AddWord() {
    bits |= static_cast<uint64_t>(LoadWordBounded(next, stream.sourceBegin, stream.sourceEnd)) << (48 - avail);
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
    return __builtin_expect(next + 8 >= stream.inputEnd, 0) && next - 2 * ((avail - 17) >> 4) >= stream.inputEnd;
  }
  // Back to the 32-bit form, the words held beyond it given back.
  void Store(BitStream& to) {
    while (avail < 17) AddWord();
    const unsigned extraWords = (avail - 17) >> 4;
    const unsigned narrow = avail - 16 * extraWords;
    to.bitBuffer = static_cast<uint32_t>((bits & ~(~uint64_t{0} >> narrow)) >> 32);
    to.bitCount = static_cast<int8_t>(narrow - 16);
    to.inputCursor = next - 2 * extraWords;
  }
};

}  // namespace vykcn::lzx

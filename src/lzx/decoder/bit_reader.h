#pragma once
// The LZX bit reader: 16-bit little-endian words, bits taken from the most significant end.
// `bitBuffer` holds the next unread bit in bit 31 and, while input lasts, 17 to 32 valid bits
// (`bitCount` = valid bits - 16, kept between 1 and 16 after every read).
//
// These are the checked operations used by block headers and tree reading. The span decoders keep
// the same three values in locals (NarrowBits, WideBits) and test the input limit once per main
// symbol.
#include <cstdint>

#include "base/byte_order.h"
#include "lzx/decoder/decoder.h"

namespace vykcn::lzx {

// The 16-bit little-endian word at `p`. Bytes outside the source buffer read as 0, so that no
// look-ahead on corrupt input ever leaves the buffer.
inline uint32_t LoadWordBounded(const uint8_t* p, const uint8_t* begin, const uint8_t* end) {
  if (p >= begin && end - p >= 2) return ReadU16LE(p);
  uint32_t word = 0;
  if (p >= begin && p < end) word = p[0];
  if (p + 1 >= begin && p + 1 < end) word |= static_cast<uint32_t>(p[1]) << 8;
  return word;
}

// Restarts the bit stream at `inputCursor` (each chunk, and after an uncompressed block).
inline void PrimeBitReader(LzxDecoder& d) {
  if (d.blockType == kBlockUncompressed) return;  // raw bytes are read from inputCursor
  if (d.inputEnd - d.inputCursor < 4) return;
  const uint32_t high = LoadWordBounded(d.inputCursor, d.sourceBegin, d.sourceEnd);
  const uint32_t low = LoadWordBounded(d.inputCursor + 2, d.sourceBegin, d.sourceEnd);
  d.bitBuffer = high << 16 | low;
  d.bitCount = 16;
  d.inputCursor += 4;
}

// Hands a 64-bit reader's state (the next bit in bit 63, `avail` of them counted, at least 17;
// `next` the first input byte not counted) back to the checked reader's form: 17 to 32 valid bits,
// and the whole words held beyond those given back to the input.
inline void StoreWideBits(LzxDecoder& d, uint64_t bits, unsigned avail, const uint8_t* next) {
  const unsigned extraWords = (avail - 17) >> 4;
  const unsigned narrow = avail - 16 * extraWords;
  const uint64_t kept = bits & ~(~uint64_t{0} >> narrow);
  d.bitBuffer = static_cast<uint32_t>(kept >> 32);
  d.bitCount = static_cast<int8_t>(narrow - 16);
  d.inputCursor = next - 2 * extraWords;
}

// The checked reader's state apart from the decoder, for loops that also store through byte
// pointers: the compiler must assume such a store could change the decoder's own fields, and would
// reload them after each one. The operations below take either.
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

template <typename Reader>
inline uint32_t PeekBits(const Reader& d, unsigned n) { return d.bitBuffer >> (32 - n); }

// n from 1 to 17.
template <typename Reader>
inline uint32_t ReadBits(Reader& d, unsigned n) {
  const uint32_t value = PeekBits(d, n);
  ConsumeBits(d, n);
  return value;
}

// The symbol at the head of the buffer; the caller consumes its code length.
inline int DecodeSymbol(uint32_t bitBuffer, const int16_t* table, const int16_t* overflow,
                        unsigned tableBits) {
  int entry = table[bitBuffer >> (32 - tableBits)];
  uint32_t mask = 1u << (31 - tableBits);
  while (entry < 0) {
    entry = overflow[2 * -entry + ((bitBuffer & mask) ? 1 : 0)];
    mask >>= 1;
  }
  return entry;
}

}  // namespace vykcn::lzx

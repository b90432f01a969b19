// Decoding a verbatim or aligned block's bytes straight into the destination (direct output, see
// direct_output.cpp).
//
// The destination holds the stream from outputBegin (stream position 0) on. A match at offset o
// copies from ((o - 1) mod W) + 1 bytes back, which is the window position the window decoder
// reads, made linear: an uncompressed block's header can set the repeated offsets to any 32-bit
// value, and an offset of 0 mod W reads the byte a whole window back. Bytes before the stream start
// read as zeros. Items are read as DecodeItem (item_decoder.h) reads them.
//
// Two loops:
//  - the fast loop, while the input limit is more than 8 bytes away (no item can then find the
//    input exhausted, and no load leaves the source) and a copy may write up to 31 bytes past a
//    match's end (bytes that are not final yet). It reads a 64-bit bit buffer refilled without a
//    branch, looks items up in the item table (decoder.h: one entry gives a literal, or a match's
//    length, slot and footer width), and copies matches in 8-, 16- and 32-byte steps;
//  - the careful loop for the rest of the span: DecodeItem with loads checked against the source's
//    bounds, the exact input test before every item, and byte-exact copies.
#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#endif

#include "base/byte_order.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decoder.h"
#include "lzx/decoder/item_decoder.h"
#include "lzx/decoder/match_copy.h"

namespace vykcn::lzx {

namespace {

// More than the bytes past a match's end that the fast loop's copies write (31).
constexpr ptrdiff_t kMatchOverrun = 32;
// The most footer bits an item reads after its main and length codes: 14 verbatim bits and a
// 7-bit aligned code.
constexpr unsigned kMaxFooterBits = 21;

// ---- The fast loop's bit reader ------------------------------------------------------------------

// `bits` holds the next unread bit in bit 63 and `avail` (at most 63) counted bits; the bits below
// those are zeros or the stream's next bits, so that topping up ORs the same values in again.
// `next` is the first input byte not counted. It never tests the input limit: the fast loop runs
// only where no item can reach it.
struct FastBits {
  uint64_t bits;
  unsigned avail;
  const uint8_t* next;

  explicit FastBits(const LzxDecoder& d)
      : bits(static_cast<uint64_t>(d.bitBuffer) << 32), avail(static_cast<unsigned>(d.bitCount + 16)),
        next(d.inputCursor) {}

  // Without a branch: the next four words go in below the counted bits, and as many whole words
  // as fit are counted (48 to 63 bits afterwards). Reads 8 bytes at `next`.
  void Refill() {
    // Words w0..w3 (w0 in the low 16 bits), reversed into stream order from the top.
#if defined(__x86_64__)
    const __m128i reversed = _mm_shufflelo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(next)), 0x1B);
    const uint64_t ordered = static_cast<uint64_t>(_mm_cvtsi128_si64(reversed));
#else
    const uint64_t raw = static_cast<uint64_t>(ReadU32LE(next)) | static_cast<uint64_t>(ReadU32LE(next + 4)) << 32;
    const uint64_t halves = raw << 32 | raw >> 32;
    const uint64_t ordered = (halves & 0x0000FFFF0000FFFFull) << 16 | (halves >> 16 & 0x0000FFFF0000FFFFull);
#endif
    bits |= ordered >> avail;
    // The words that fit: 3, 2, 1 or 0 for avail in 0..15, 16..31, 32..47, 48..63, which is what
    // setting bits 4 and 5 of avail adds.
    next += (~avail & 48) >> 3;
    avail |= 48;
  }
  // Before a footer read after main and length codes of up to 16 bits each.
  void RefillForFooter() {
    if (__builtin_expect(avail < kMaxFooterBits, 0)) Refill();
  }
  uint32_t Top32() const { return static_cast<uint32_t>(bits >> 32); }
  uint32_t Peek(unsigned n) const { return static_cast<uint32_t>(bits >> (64 - n)); }
  uint32_t PeekUpTo17(unsigned n) const { return static_cast<uint32_t>((bits >> 1) >> (63 - n)); }
  void Consume(unsigned n) {
    bits <<= n;
    avail -= n;
  }

  // Back to the checked reader's 32-bit form.
  void Store(LzxDecoder& d) {
    while (avail < 17) {
      bits |= static_cast<uint64_t>(LoadWordBounded(next, d.sourceBegin, d.sourceEnd)) << (48 - avail);
      avail += 16;
      next += 2;
    }
    StoreWideBits(d, bits, avail, next);
  }
};

// ---- Match copies ----------------------------------------------------------------------------------

// The distance the window decoder's masked source position amounts to: 1..W.
inline uint32_t MatchDistance(uint32_t offset, uint32_t mask) { return ((offset - 1) & mask) + 1; }

// Byte-exact copy of a match at stream position `position`: forward, so that a source overlapping
// the destination repeats the bytes just written, and zeros for source positions before 0.
inline void CopyMatchExact(uint8_t* begin, size_t position, uint32_t distance, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    const size_t at = position + i;
    begin[at] = at >= distance ? begin[at - distance] : 0;
  }
}

// A match whose source lies inside the stream (distance <= bytes written), copied in steps that
// write up to 31 bytes past its end. Each step reads only bytes already final: they lie at least
// a step behind the write.
inline void CopyMatchOverrun(uint8_t* dst, uint32_t distance, uint32_t length) {
  const uint8_t* src = dst - distance;
  uint8_t* const end = dst + length;
  if (distance >= 16) {
    // Most matches are at most 32 bytes long: two steps without a test, then the rest.
    CopyWide(dst, src);
    CopyWide(dst + 16, src + 16);
    dst += 32;
    src += 32;
    while (dst < end) {
      CopyWide(dst, src);
      dst += 16;
      src += 16;
    }
  } else if (distance >= 8) {
    do {
      CopyWord(dst, src);
      dst += 8;
      src += 8;
    } while (dst < end);
  } else if (distance == 1) {
    const uint64_t run = src[0] * uint64_t{0x0101010101010101};
    do {
      std::memcpy(dst, &run, 8);
      dst += 8;
    } while (dst < end);
  } else {
    do {
      *dst++ = *src++;
    } while (dst < end);
  }
}

// ---- Where the fast loop stops ---------------------------------------------------------------------

// The input position from which the fast loop stops: 8 bytes before the input limit (the item's
// bits are already in the buffer, whose words end before the limit, so the 32-bit reader's cursor
// does too), and 16 before the source's end (an item's two refills read at most 14 bytes).
inline const uint8_t* FastInputLimit(const LzxDecoder& d) {
  const uint8_t* const byInput = d.inputEnd - std::min<ptrdiff_t>(8, d.inputEnd - d.sourceBegin);
  const uint8_t* const bySource = d.sourceEnd - std::min<ptrdiff_t>(16, d.sourceEnd - d.sourceBegin);
  return std::min(byInput, bySource);
}

// The output position from which the fast loop stops: the span's end when a copy's overrun past it
// stays writable, else early enough for the longest match and its overrun.
inline uint8_t* FastOutputLimit(const LzxDecoder& d, uint8_t* out, uint8_t* target) {
  if (d.outputWriteEnd - target >= kMatchOverrun) return target;
  constexpr ptrdiff_t kReserve = kMaxMatchLength + kMatchOverrun;
  if (d.outputWriteEnd - out <= kReserve) return out;
  return std::min(target, d.outputWriteEnd - kReserve);
}

// ---- Matches ---------------------------------------------------------------------------------------

// The repeated offsets as the fast loop keeps them: as distances (1..W). Every use of an offset
// masks it with W - 1 (MatchDistance), so only its value modulo W counts, and explicit offsets
// already lie in 1..W-3.
struct Distances {
  uint32_t r0, r1, r2;
};

// Slot 0 keeps R0, slots 1 and 2 swap theirs with R0, an explicit offset pushes R0 and R1 down.
inline void TakeDistance(Distances& r, unsigned slot, uint32_t explicitDistance) {
  if (slot < kNumRepeatedOffsets) {
    const uint32_t r0 = r.r0;
    r.r0 = slot == 0 ? r0 : slot == 1 ? r.r1 : r.r2;
    if (slot == 1) r.r1 = r0;
    if (slot == 2) r.r2 = r0;
    return;
  }
  r.r2 = r.r1;
  r.r1 = r.r0;
  r.r0 = explicitDistance;
}

// A match whose item-table entry holds its codes: the footer follows them, the slot gives the
// distance. Returns the match length; the distance is r.r0 afterwards.
template <bool kAligned>
inline uint32_t DecodeResolvedMatch(const LzxDecoder& d, FastBits& b, uint32_t item, Distances& r) {
  // The codes and the footer's verbatim bits go in one shift; the footer is the last of them.
  const unsigned itemBits = item & kItemBitsMask;  // at least 1: a match has a code
  const unsigned footerBits = (item >> kItemFooterShift) & 31;
  uint32_t footer = static_cast<uint32_t>((b.bits >> 1) >> (63 - itemBits)) & ((1u << footerBits) - 1);
  b.Consume(itemBits);
  if (kAligned && (item & kItemAligned)) {
    const unsigned alignedEntry = d.alignedFast[b.Peek(kAlignedTableBits)];
    b.Consume(alignedEntry >> 3);
    footer = footer << 3 | (alignedEntry & 7);
  }
  const unsigned slot = (item >> kItemValueShift) & 0xFF;
  TakeDistance(r, slot, static_cast<uint32_t>(d.positionBase[slot]) + footer);
  return (item >> kItemLengthShift) & 0x1FF;
}

// The main-tree entry at the head of the buffer: symbol | code length << kFastLengthShift.
inline uint32_t MainEntry(const LzxDecoder& d, const FastBits& b) {
  uint32_t entry = d.mainFast[b.Peek(kMainFastBits)];
  if (__builtin_expect(entry & kFastTableSlow, 0)) {
    const int slow = DecodeSymbol(b.Top32(), d.mainTable, d.mainOverflow, kMainTableBits);
    entry = static_cast<uint32_t>(slow) | static_cast<uint32_t>(d.mainLengths[slow]) << kFastLengthShift;
  }
  return entry;
}

// The rest of a match the item table does not resolve, after its main symbol: the length tree is
// looked up whatever the length header (its bits count only for header 7), then the footer.
template <bool kAligned>
inline uint32_t DecodeUnresolvedMatch(const LzxDecoder& d, FastBits& b, unsigned symbol, Distances& r) {
  const unsigned header = (symbol - kNumChars) & 7;
  const unsigned slot = (symbol - kNumChars) >> 3;
  uint32_t lengthEntry = d.lengthFast[b.Peek(kLengthFastBits)];
  if (__builtin_expect(lengthEntry & kFastTableSlow, 0)) {
    const int slow = DecodeSymbol(b.Top32(), d.lengthTable, d.lengthOverflow, kLengthTableBits);
    lengthEntry = static_cast<uint32_t>(slow) | static_cast<uint32_t>(d.lengthLengths[slow]) << kFastLengthShift;
  }
  const uint32_t lengthSymbol = 0u - static_cast<uint32_t>(header == kNumPrimaryLengths);  // all ones or 0
  b.Consume((lengthEntry >> kFastLengthShift) & lengthSymbol);
  const uint32_t length = header + ((lengthEntry & kFastSymbolMask) & lengthSymbol) + kMinMatchLength;

  b.RefillForFooter();
  const unsigned extra = d.extraBits[slot];  // 0 for slots 0..2
  uint32_t footer;
  if (kAligned && extra >= 3) {  // the low 3 bits come from the aligned tree
    const uint32_t high = TakeUpTo17(b, extra - 3);
    const unsigned alignedEntry = d.alignedFast[b.Peek(kAlignedTableBits)];
    b.Consume(alignedEntry >> 3);
    footer = high << 3 | (alignedEntry & 7);
  } else {
    footer = TakeUpTo17(b, extra);
  }
  TakeDistance(r, slot, static_cast<uint32_t>(d.positionBase[slot]) + footer);
  return length;
}

// ---- The fast loop ---------------------------------------------------------------------------------

// Runs from the decoder's bit reader and repeated offsets and stores them back; stops at `outLimit`
// or `inLimit`, and returns false when a match runs past the span's end (`target`).
template <bool kAligned>
[[gnu::always_inline]] inline bool DecodeFastBody(LzxDecoder& d, uint8_t*& cursor, uint8_t* const outLimit,
                                                  uint8_t* const target, const uint8_t* const inLimit) {
  uint8_t* const begin = d.outputBegin;
  FastBits b(d);
  Distances r{MatchDistance(static_cast<uint32_t>(d.repeatedOffsets[0]), d.windowMask),
              MatchDistance(static_cast<uint32_t>(d.repeatedOffsets[1]), d.windowMask),
              MatchDistance(static_cast<uint32_t>(d.repeatedOffsets[2]), d.windowMask)};
  uint8_t* out = cursor;
  bool ok = true;
  // At the top of each item the buffer holds at least 48 bits and `item` is the item-table entry
  // at its head: after a literal the next lookup needs no refill first.
  b.Refill();
  uint32_t item = d.mainItems[b.Peek(kMainFastBits)];
  while (out < outLimit && b.next < inLimit) {
    if (!(item & (kItemMatch | kItemUnresolved))) {
      b.Consume(item & kItemBitsMask);
      *out++ = static_cast<uint8_t>(item >> kItemValueShift);
      item = d.mainItems[b.Peek(kMainFastBits)];
      b.Refill();
      continue;
    }
    uint32_t length;
    if (__builtin_expect(!(item & kItemUnresolved), 1)) {
      length = DecodeResolvedMatch<kAligned>(d, b, item, r);
    } else {
      const uint32_t entry = MainEntry(d, b);
      b.Consume(entry >> kFastLengthShift);
      const unsigned symbol = entry & kFastSymbolMask;
      if (symbol < kNumChars) {
        *out++ = static_cast<uint8_t>(symbol);
        b.Refill();
        item = d.mainItems[b.Peek(kMainFastBits)];
        continue;
      }
      length = DecodeUnresolvedMatch<kAligned>(d, b, symbol, r);
    }
    if (length > static_cast<size_t>(target - out)) {
      ok = false;
      break;
    }
    if (__builtin_expect(r.r0 <= static_cast<size_t>(out - begin), 1)) {
      CopyMatchOverrun(out, r.r0, length);
    } else {
      CopyMatchExact(begin, static_cast<size_t>(out - begin), r.r0, length);
    }
    out += length;
    b.Refill();
    item = d.mainItems[b.Peek(kMainFastBits)];
  }
  b.Store(d);
  d.repeatedOffsets[0] = static_cast<int32_t>(r.r0);
  d.repeatedOffsets[1] = static_cast<int32_t>(r.r1);
  d.repeatedOffsets[2] = static_cast<int32_t>(r.r2);
  cursor = out;
  return ok;
}

// The module must run on every x86-64 processor, whose baseline is SSE2. The fast loop is compiled
// a second time for BMI2 (shifts by a count in any register, leaving the flags alone: one
// instruction where the baseline moves the count to CL first), and that copy runs where the
// context found BMI2 at its creation (LzxDecoder::fastLoopBmi2).
template <bool kAligned>
bool DecodeFastBaseline(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target, const uint8_t* inLimit) {
  return DecodeFastBody<kAligned>(d, out, outLimit, target, inLimit);
}

#if defined(__x86_64__)
template <bool kAligned>
[[gnu::target("bmi2")]] bool DecodeFastBmi2(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target,
                                            const uint8_t* inLimit) {
  return DecodeFastBody<kAligned>(d, out, outLimit, target, inLimit);
}
#endif

template <bool kAligned>
bool DecodeFast(LzxDecoder& d, uint8_t*& out, uint8_t* outLimit, uint8_t* target, const uint8_t* inLimit) {
#if defined(__x86_64__)
  if (d.fastLoopBmi2) return DecodeFastBmi2<kAligned>(d, out, outLimit, target, inLimit);
#endif
  return DecodeFastBaseline<kAligned>(d, out, outLimit, target, inLimit);
}

// ---- The careful loop ------------------------------------------------------------------------------

template <bool kAligned>
bool DecodeCareful(LzxDecoder& d, uint8_t*& cursor, uint8_t* target) {
  WideBits<true> b(d);
  uint8_t* const begin = d.outputBegin;
  uint8_t* out = cursor;
  bool ok = true;
  while (out < target) {
    uint32_t length, literal, offset;
    if (!DecodeItem<kAligned>(d, b, d.repeatedOffsets, length, literal, offset) ||
        (length != 0 && length > static_cast<size_t>(target - out))) {
      ok = false;
      break;
    }
    if (length == 0) {
      *out++ = static_cast<uint8_t>(literal);
      continue;
    }
    CopyMatchExact(begin, static_cast<size_t>(out - begin), MatchDistance(offset, d.windowMask), length);
    out += length;
  }
  b.Store(d);
  cursor = out;
  return ok;
}

template <bool kAligned>
bool DecodeSpanDirect(LzxDecoder& d, uint8_t* out, uint8_t* const target) {
  bool ok = true;
  const uint8_t* const inLimit = FastInputLimit(d);
  uint8_t* const outLimit = FastOutputLimit(d, out, target);
  // (After an overrun in a header the cursor is already at the limit, and bitCount may be < 1.)
  if (d.inputCursor < inLimit && d.bitCount > 0 && out < outLimit) {
    ok = DecodeFast<kAligned>(d, out, outLimit, target, inLimit);
  }
  if (ok && out < target) ok = DecodeCareful<kAligned>(d, out, target);
  return ok;
}

}  // namespace

bool ProcessorHasBmi2() {
#if defined(__x86_64__)
  // cpuid once: under a hypervisor it takes microseconds.
  static const bool hasBmi2 = [] {
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_BMI2) != 0;
  }();
  return hasBmi2;
#else
  return false;
#endif
}

bool DecodeCompressedDirect(LzxDecoder& d, uint8_t* output, uint32_t n) {
  return d.blockType == kBlockAligned ? DecodeSpanDirect<true>(d, output, output + n)
                                      : DecodeSpanDirect<false>(d, output, output + n);
}

}  // namespace vykcn::lzx

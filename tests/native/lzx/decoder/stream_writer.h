#pragma once
// Test-side LZX stream writer: block headers, trees (sent through a fixed pretree), literals and
// matches, and the chunk framing around them. Everything is derived from the published format and
// the framing description, not from the decoder.
#include <cstdint>
#include <vector>

#include "lzx/decoder/bit_writer.h"

namespace vykcn::lzx::test {

// Footer bits and position base (minus 2) per slot, from the format description.
inline unsigned FooterBits(unsigned slot) { return slot < 4 ? 0 : slot < 36 ? slot / 2 - 1 : 17; }
inline uint32_t SlotBase(unsigned slot) {
  uint32_t base = 0;
  for (unsigned s = 0; s < slot; ++s) base += 1u << FooterBits(s);
  return base - 2;
}

class LzxWriter {
 public:
  explicit LzxWriter(unsigned positionSlots = 36)
      : slots_(positionSlots), previousMain_(256 + 8 * positionSlots, 0), previousLength_(249, 0),
        main_(std::vector<uint8_t>(256 + 8 * positionSlots, 0)), length_(std::vector<uint8_t>(249, 0)),
        aligned_(std::vector<uint8_t>(8, 0)) {}

  BitWriter& bits() { return out_; }
  unsigned mainSymbols() const { return 256 + 8 * slots_; }

  // Every main symbol (lengths 9/10 for 544 symbols) and every length symbol available.
  std::vector<uint8_t> FullMainLengths() const { return CompleteLengths(mainSymbols(), Range(mainSymbols())); }
  static std::vector<uint8_t> FullLengthLengths() { return CompleteLengths(249, Range(249)); }
  static std::vector<unsigned> Range(unsigned n) {
    std::vector<unsigned> all(n);
    for (unsigned i = 0; i < n; ++i) all[i] = i;
    return all;
  }

  void StreamHeader(uint32_t callTranslationSize) {
    out_.PutBits(callTranslationSize != 0, 1);
    if (callTranslationSize != 0) {
      out_.PutBits(callTranslationSize >> 16, 16);
      out_.PutBits(callTranslationSize & 0xFFFF, 16);
    }
  }

  void BlockType(unsigned type, uint32_t size) {
    out_.PutBits(type, 3);
    out_.PutBits(size >> 16, 8);
    out_.PutBits((size >> 8) & 0xFF, 8);
    out_.PutBits(size & 0xFF, 8);
  }

  void VerbatimHeader(uint32_t size, const std::vector<uint8_t>& mainLengths,
                      const std::vector<uint8_t>& lengthLengths) {
    BlockType(1, size);
    Trees(mainLengths, lengthLengths);
    aligning_ = false;
  }

  void AlignedHeader(uint32_t size, const std::vector<uint8_t>& alignedLengths,
                     const std::vector<uint8_t>& mainLengths, const std::vector<uint8_t>& lengthLengths) {
    BlockType(2, size);
    for (uint8_t l : alignedLengths) out_.PutBits(l, 3);
    aligned_ = CanonicalCode(alignedLengths);
    Trees(mainLengths, lengthLengths);
    aligning_ = true;
  }

  // Header bits, the padding, R0..R2; the caller then puts the raw bytes with bits().PutRaw.
  void UncompressedHeader(uint32_t size, uint32_t r0 = 1, uint32_t r1 = 1, uint32_t r2 = 1) {
    BlockType(3, size);
    out_.PadBeforeRaw();
    out_.PutRawU32(r0);
    out_.PutRawU32(r1);
    out_.PutRawU32(r2);
  }

  // Sends `lengths[from..from+count)` as deltas against the previous tree, one symbol each.
  void Lengths(const std::vector<uint8_t>& lengths, size_t from, size_t count, std::vector<uint8_t>& previous) {
    PutPretree();
    for (size_t i = from; i < from + count; ++i) {
      pretree_.Put(out_, (previous[i] + 17 - lengths[i]) % 17);
    }
  }
  void PutPretree() {
    for (uint8_t l : pretree_.lengths) out_.PutBits(l, 4);
  }
  const CanonicalCode& pretree() const { return pretree_; }

  void Literal(uint8_t byte) { main_.Put(out_, byte); }
  void Literals(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) Literal(b);
  }

  // A match with an explicit slot and footer (footer ignored for slots 0..3).
  void Match(unsigned length, unsigned slot, uint32_t footer = 0) {
    const unsigned header = length - 2 < 7 ? length - 2 : 7;
    main_.Put(out_, 256 + slot * 8 + header);
    if (header == 7) length_.Put(out_, length - 9);
    if (slot < 3) return;
    const unsigned extra = FooterBits(slot);
    if (aligning_ && extra >= 3) {
      out_.PutBits(footer >> 3, extra - 3);
      aligned_.Put(out_, footer & 7);
    } else if (extra > 0) {
      out_.PutBits(footer, extra);
    }
  }

  // A match at a real offset (1 or more), not through the repeated offsets.
  void MatchAt(unsigned length, uint32_t offset) {
    if (offset == 1) return Match(length, 3);
    unsigned slot = 4;
    while (SlotBase(slot + 1) <= offset) ++slot;
    Match(length, slot, offset - SlotBase(slot));
  }

  // Ends this chunk's bit stream and returns its bytes; the next chunk starts a fresh stream.
  std::vector<uint8_t> TakeChunk() {
    out_.Flush();
    std::vector<uint8_t> data = out_.bytes();
    out_ = BitWriter();
    return data;
  }

 private:
  void Trees(const std::vector<uint8_t>& mainLengths, const std::vector<uint8_t>& lengthLengths) {
    Lengths(mainLengths, 0, 256, previousMain_);
    Lengths(mainLengths, 256, mainSymbols() - 256, previousMain_);
    Lengths(lengthLengths, 0, 249, previousLength_);
    previousMain_ = mainLengths;
    previousLength_ = lengthLengths;
    main_ = CanonicalCode(mainLengths);
    length_ = CanonicalCode(lengthLengths);
  }

  unsigned slots_;
  BitWriter out_;
  std::vector<uint8_t> previousMain_;
  std::vector<uint8_t> previousLength_;
  CanonicalCode main_;
  CanonicalCode length_;
  CanonicalCode aligned_;
  // 12 symbols of 4 bits and 8 of 5 bits: a complete code over the 20 pretree symbols.
  CanonicalCode pretree_{std::vector<uint8_t>{4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5}};
  bool aligning_ = false;
};

// Chunk framing: 2-byte big-endian C for a 32768-byte chunk, or 0xFF, U, C (big-endian) for the
// last one; a 5-byte trailer after the last chunk.
struct FramedStream {
  std::vector<uint8_t> bytes;

  FramedStream& Standard(const std::vector<uint8_t>& data) {
    bytes.push_back(static_cast<uint8_t>(data.size() >> 8));
    bytes.push_back(static_cast<uint8_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  FramedStream& Sized(uint16_t uncompressed, const std::vector<uint8_t>& data) {
    bytes.push_back(0xFF);
    bytes.push_back(static_cast<uint8_t>(uncompressed >> 8));
    bytes.push_back(static_cast<uint8_t>(uncompressed));
    bytes.push_back(static_cast<uint8_t>(data.size() >> 8));
    bytes.push_back(static_cast<uint8_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  std::vector<uint8_t> WithTrailer() const {
    std::vector<uint8_t> all = bytes;
    all.insert(all.end(), 5, 0);
    return all;
  }
};

}  // namespace vykcn::lzx::test

#pragma once
// Test-side writer of LZX bit streams, written from the format description and independent of
// the decoder: bits go MSB-first into 16-bit words, each word stored little-endian.
#include <cstdint>
#include <vector>

namespace vykcn::lzx::test {

class BitWriter {
 public:
  void PutBits(uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) PutBit((value >> i) & 1);
  }

  // Pads the current word with zeros (nothing when it is empty): the end of a chunk's bits.
  void Flush() {
    while (bitsInWord_ != 0) PutBit(0);
  }

  // The padding before an uncompressed block's raw header: 1 to 16 zero bits, a whole word when
  // the stream is already on a word boundary.
  void PadBeforeRaw() {
    PutBit(0);
    Flush();
  }

  // Raw bytes after the bit stream has been padded; the next bits start a fresh word after them.
  void PutRaw(const std::vector<uint8_t>& raw) { bytes_.insert(bytes_.end(), raw.begin(), raw.end()); }
  void PutRawU32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }

  size_t BitsInWord() const { return bitsInWord_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  void PutBit(uint32_t bit) {
    word_ = static_cast<uint16_t>(word_ << 1 | bit);
    if (++bitsInWord_ == 16) {
      bytes_.push_back(static_cast<uint8_t>(word_));
      bytes_.push_back(static_cast<uint8_t>(word_ >> 8));
      word_ = 0;
      bitsInWord_ = 0;
    }
  }

  std::vector<uint8_t> bytes_;
  uint16_t word_ = 0;
  unsigned bitsInWord_ = 0;
};

// Canonical codes for a set of code lengths: shorter codes first, equal lengths by symbol order.
struct CanonicalCode {
  std::vector<uint8_t> lengths;
  std::vector<uint32_t> codes;

  explicit CanonicalCode(std::vector<uint8_t> codeLengths) : lengths(std::move(codeLengths)) {
    codes.assign(lengths.size(), 0);
    uint32_t code = 0;
    for (unsigned length = 1; length <= 16; ++length) {
      for (size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] == length) codes[s] = code++;
      }
      code <<= 1;
    }
  }

  void Put(BitWriter& out, unsigned symbol) const { out.PutBits(codes[symbol], lengths[symbol]); }
};

// Lengths of a complete prefix code over `used` (at least 2 symbols) in an alphabet of `size`.
inline std::vector<uint8_t> CompleteLengths(size_t size, const std::vector<unsigned>& used) {
  std::vector<uint8_t> lengths(size, 0);
  unsigned bits = 0;
  while ((size_t{1} << bits) < used.size()) ++bits;
  const size_t shorter = (size_t{1} << bits) - used.size();  // these get bits - 1
  for (size_t i = 0; i < used.size(); ++i) lengths[used[i]] = static_cast<uint8_t>(i < shorter ? bits - 1 : bits);
  return lengths;
}

}  // namespace vykcn::lzx::test

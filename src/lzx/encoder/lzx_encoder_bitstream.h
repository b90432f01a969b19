#pragma once
// Output side of the encoder. Bits go out in 16-bit little-endian words, most significant bit
// first; raw bytes (uncompressed blocks) go straight to the byte stream. The writer also keeps
// the chunk boundaries: whenever the output position reaches a multiple of 32768 it pads the bit
// stream to a whole word and records where that chunk's compressed bytes end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lzx/encoder/lzx_encoder_format.h"

namespace vykcn::lzx {

class ChunkedBitWriter {
 public:
  // Writes the low `count` bits of `bits` (count ≤ 32).
  void PutBits(uint32_t bits, int count) {
    if (count == 0) return;
    buffer_ = (buffer_ << count) | (bits & ((uint64_t{1} << count) - 1));
    pending_ += count;
    while (pending_ >= 16) {
      pending_ -= 16;
      const uint16_t word = static_cast<uint16_t>(buffer_ >> pending_);
      bytes_.push_back(static_cast<uint8_t>(word));
      bytes_.push_back(static_cast<uint8_t>(word >> 8));
    }
  }

  // Pads with zero bits to the next word boundary (nothing when already there).
  void AlignToWord() {
    if (pending_ != 0) PutBits(0, 16 - pending_);
  }

  // The 1 to 16 padding bits in front of an uncompressed block's raw data: a whole zero word
  // when the header ended on a word boundary.
  void PadBeforeRawData() { PutBits(0, pending_ == 0 ? 16 : 16 - pending_); }

  // Raw bytes; the bit stream must be word-aligned.
  void PutBytes(const uint8_t* data, size_t n) { bytes_.insert(bytes_.end(), data, data + n); }
  void PutU32LE(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }

  // Accounts for `n` output bytes just coded (never crossing a chunk boundary) and closes the
  // chunk when its last byte has been coded.
  void AdvanceOutput(uint32_t n) {
    output_position_ += n;
    if (output_position_ % kChunkSize == 0) CloseChunk();
  }

  // Ends the stream: closes a last, shorter chunk.
  void Finish() {
    if (output_position_ % kChunkSize != 0) CloseChunk();
  }

  uint64_t output_position() const { return output_position_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // End offset in bytes() of each chunk's compressed data, in order.
  const std::vector<size_t>& chunk_ends() const { return chunk_ends_; }

 private:
  void CloseChunk() {
    AlignToWord();
    chunk_ends_.push_back(bytes_.size());
  }

  std::vector<uint8_t> bytes_;
  std::vector<size_t> chunk_ends_;
  uint64_t buffer_ = 0;
  int pending_ = 0;
  uint64_t output_position_ = 0;
};

}  // namespace vykcn::lzx

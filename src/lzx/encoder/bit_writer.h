#pragma once
// Output side of the encoder. Bits go out in 16-bit little-endian words, most significant bit
// first; raw bytes (uncompressed blocks) go straight to the byte stream. The writer also keeps
// the chunk boundaries: whenever the output position reaches a multiple of 32768 it pads the bit
// stream to a whole word and records where that chunk's compressed bytes end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/byte_order.h"
#include "lzx/lzx_constants.h"

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
      uint8_t word[2];
      WriteU16LE(word, static_cast<uint16_t>(buffer_ >> pending_));
      PutBytes(word, 2);
    }
  }

  // Pads with zero bits to the next word boundary (nothing when already there).
  void AlignToWord() {
    if (pending_ != 0) PutBits(0, 16 - pending_);
  }

  // The 1 to 16 padding bits in front of an uncompressed block's raw data: a whole zero word
  // when the header ended on a word boundary.
  void PadBeforeRawData() { PutBits(0, pending_ == 0 ? 16 : 16 - pending_); }

  // Room for `n` bytes of output, so that the buffer is not copied as it grows.
  void Reserve(size_t n) { bytes_.reserve(n); }

  // Raw bytes; the bit stream must be word-aligned.
  void PutBytes(const uint8_t* data, size_t n) { bytes_.insert(bytes_.end(), data, data + n); }
  void PutU32LE(uint32_t v) {
    uint8_t bytes[4];
    WriteU32LE(bytes, v);
    PutBytes(bytes, 4);
  }

  // Accounts for `n` output bytes just coded (never crossing a chunk boundary) and closes the
  // chunk when its last byte has been coded.
  void AdvanceOutput(uint32_t n) {
    outputPosition_ += n;
    if (outputPosition_ % kFrameSize == 0) CloseChunk();
  }

  // Ends the stream: closes a last, shorter chunk.
  void Finish() {
    if (outputPosition_ % kFrameSize != 0) CloseChunk();
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // End offset in Bytes() of each chunk's compressed data, in order.
  const std::vector<size_t>& ChunkEnds() const { return chunkEnds_; }

 private:
  void CloseChunk() {
    AlignToWord();
    chunkEnds_.push_back(bytes_.size());
  }

  std::vector<uint8_t> bytes_;
  std::vector<size_t> chunkEnds_;
  uint64_t buffer_ = 0;
  int pending_ = 0;
  uint64_t outputPosition_ = 0;
};

}  // namespace vykcn::lzx

#pragma once
// A fresh decoder at a stream's start (through the public creation call, which resets a continuous
// stream's context) whose input is set by hand, for tests of the bit reader, the tables and the
// tree reading below the chunk level.
#include <gtest/gtest.h>

#include <vector>

#include "formats/translation_resource.h"
#include "lzx/decoder/decoder_testing.h"

namespace vykcn::lzx::test {

class DecoderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const CodecParameters parameters{0, kTranslationWindowSize, 0};
    ASSERT_EQ(CreateDecompressionContext(0, &parameters, ContinuousStream, &context_), kStatusOk);
  }
  void TearDown() override { DestroyDecompressionContext(context_); }

  LzxDecoder& decoder() { return context_->decoder; }

  // Makes `bytes` the current chunk's data (C = its size) and primes the reader. The 4 bytes the
  // reader may look past the data are zeros that belong to the buffer.
  void SetInput(const std::vector<uint8_t>& bytes) {
    input_ = bytes;
    input_.insert(input_.end(), 4, 0);
    BitStream& bits = decoder().bits;
    bits.sourceBegin = input_.data();
    bits.sourceEnd = input_.data() + input_.size();
    BeginChunk(bits, input_.data(), static_cast<uint32_t>(bytes.size()));
    PrimeBits(bits);
  }

  DecompressionContext* context_ = nullptr;
  std::vector<uint8_t> input_;
};

}  // namespace vykcn::lzx::test

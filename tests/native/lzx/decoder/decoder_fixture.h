#pragma once
// A fresh decoder at a stream's start (through the public creation call, which resets a continuous
// stream's context) whose input is set by hand, for tests of the bit reader, the tables and the
// tree reading below the chunk level.
#include <gtest/gtest.h>

#include <vector>

#include "formats/translation_resource.h"
#include "lzx/decoder/bit_reader.h"
#include "lzx/decoder/decoder_state.h"

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
    LzxDecoder& d = decoder();
    d.sourceBegin = input_.data();
    d.sourceEnd = input_.data() + input_.size();
    d.chunkData = input_.data();
    d.inputCursor = input_.data();
    d.inputEnd = input_.data() + input_.size();
    PrimeBitReader(d);
  }

  DecompressionContext* context_ = nullptr;
  std::vector<uint8_t> input_;
};

}  // namespace vykcn::lzx::test

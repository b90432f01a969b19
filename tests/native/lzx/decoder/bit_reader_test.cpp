// The two readers of the bit stream agree: the span reader, whichever way it loads, leaves the
// checked reader's state at the same bit position, and stops an item exactly where the checked
// reader's cursor would reach the input limit.
#include <gtest/gtest.h>

#include <random>

#include "lzx/decoder/bit_stream.h"
#include "lzx/decoder/decoder_fixture.h"

namespace vykcn::lzx::test {
namespace {

class BitReaders : public DecoderFixture {};

// Reads of 1..17 bits in random amounts; after each, the span reader's state stored back equals
// the checked reader's, and so do the values read.
TEST_F(BitReaders, SpanReaderStoresTheCheckedReadersState) {
  std::mt19937 rng(5);
  std::vector<uint8_t> stream(240);
  for (uint8_t& b : stream) b = static_cast<uint8_t>(rng());
  for (const bool bounded : {true, false}) {
    SetInput(stream);
    BitStream& d = decoder().bits;
    d.inputEnd = d.chunkData + 200;  // the source runs on past the limit, for the unbounded loads
    BitStream checked = d;
    for (int read = 0; read < 60; ++read) {
      const unsigned n = 1 + rng() % 17;
      const uint32_t expected = ReadBits(checked, n);
      uint32_t value;
      if (bounded) {
        SpanBits<true> span(d);
        span.Refill();
        value = span.PeekUpTo17(n);
        span.Consume(n);
        span.Store(d);
      } else {
        SpanBits<false> span(d);
        span.Refill();
        value = span.PeekUpTo17(n);
        span.Consume(n);
        span.Store(d);
      }
      ASSERT_EQ(value, expected) << read;
      ASSERT_EQ(d.bitBuffer, checked.bitBuffer) << read;
      ASSERT_EQ(d.bitCount, checked.bitCount) << read;
      ASSERT_EQ(d.inputCursor, checked.inputCursor) << read;
    }
  }
}

// At every bit position near the limit, the span reader finds the input exhausted exactly when
// the checked reader's cursor is at inputEnd or past it.
TEST_F(BitReaders, InputExhaustedWhereTheCheckedCursorReachesTheLimit) {
  const std::vector<uint8_t> stream(64, 0xA5);
  for (unsigned limit = 4; limit <= 24; limit += 2) {
    SetInput(stream);
    BitStream& d = decoder().bits;
    d.inputEnd = d.chunkData + limit;
    for (unsigned consumed = 0; consumed < 8 * limit; consumed += 3) {
      BitStream checked = d;
      for (unsigned left = consumed; left > 0;) {
        const unsigned n = left < 16 ? left : 16;
        ConsumeBits(checked, n);
        left -= n;
      }
      if (checked.inputOverrun) break;
      SpanBits<true> span(d);
      span.Refill();
      for (unsigned left = consumed; left > 0;) {
        const unsigned n = left < 16 ? left : 16;
        span.Consume(n);
        span.Refill();
        left -= n;
      }
      ASSERT_EQ(span.InputExhausted(), checked.inputCursor >= checked.inputEnd) << limit << " " << consumed;
    }
  }
}

}  // namespace
}  // namespace vykcn::lzx::test

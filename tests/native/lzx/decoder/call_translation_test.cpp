// Undoing call translation on the caller's copy of a chunk (EmitChunk).
#include <gtest/gtest.h>

#include "base/byte_order.h"
#include "lzx/decoder/decode_helpers.h"
#include "lzx/decoder/decoder_fixture.h"
#include "lzx/decoder/stream_writer.h"
#include "lzx/decoder/window_output.h"

namespace vykcn::lzx::test {
namespace {

class CallTranslation : public DecoderFixture {
 protected:
  // A chunk of `n` filler bytes (0x90) with an 0xE8 and its operand at `at`.
  static std::vector<uint8_t> Chunk(size_t n, size_t at, uint32_t operand) {
    std::vector<uint8_t> data(n, 0x90);
    data[at] = 0xE8;
    WriteU32LE(&data[at + 1], operand);
    return data;
  }
  // Emits the first `n` bytes of `data` as a chunk, into `data` itself.
  void Emit(std::vector<uint8_t>& data, uint32_t n) {
    const std::vector<uint8_t> chunk = data;
    EmitChunk(decoder(), data.data(), n, chunk.data());
  }
  uint32_t OperandAfter(uint32_t translationSize, uint32_t streamOffset, uint32_t operand) {
    decoder().block.translationSize = translationSize;
    decoder().window.translationOffset = streamOffset;  // the E8 sits at index 0 of the chunk
    std::vector<uint8_t> data = Chunk(32, 0, operand);
    Emit(data, 32);
    EXPECT_EQ(decoder().window.translationOffset, streamOffset + 32);
    return ReadU32LE(data.data() + 1);
  }
};

TEST_F(CallTranslation, WorkedExample) {
  EXPECT_EQ(OperandAfter(900, 100, 512), 412u);
  EXPECT_EQ(OperandAfter(900, 100, static_cast<uint32_t>(-64)), 836u);
  EXPECT_EQ(OperandAfter(900, 100, static_cast<uint32_t>(-200)), static_cast<uint32_t>(-200));
  EXPECT_EQ(OperandAfter(900, 100, 900), 900u);
}

TEST_F(CallTranslation, NegativeOperandBoundaryAtTheStreamStart) {
  EXPECT_EQ(OperandAfter(900, 100, static_cast<uint32_t>(-100)), 800u);  // exactly -pos
  EXPECT_EQ(OperandAfter(900, 100, static_cast<uint32_t>(-101)), static_cast<uint32_t>(-101));
  EXPECT_EQ(OperandAfter(900, 100, 899), 799u);
}

TEST_F(CallTranslation, ChunksOfSixBytesOrLessOnlyMoveTheOffset) {
  decoder().block.translationSize = 1000;
  decoder().window.translationOffset = 40;
  std::vector<uint8_t> data = {0xE8, 1, 0, 0, 0, 0xE8};
  const std::vector<uint8_t> before = data;
  Emit(data, 6);
  EXPECT_EQ(data, before);
  EXPECT_EQ(decoder().window.translationOffset, 46u);
}

TEST_F(CallTranslation, TenByteTailIsNeverTranslated) {
  decoder().block.translationSize = 1000;
  for (size_t at = 18; at <= 22; ++at) {  // n = 32: indexes 22.. are in the tail, 21 is not
    decoder().window.translationOffset = 0;
    std::vector<uint8_t> data = Chunk(32, at, 500);
    Emit(data, 32);
    EXPECT_EQ(ReadU32LE(data.data() + at + 1), at < 22 ? 500 - at : 500u) << at;
  }
  // A chunk of 10 bytes has nothing translated.
  decoder().window.translationOffset = 0;
  std::vector<uint8_t> ten = Chunk(10, 0, 500);
  Emit(ten, 10);
  EXPECT_EQ(ReadU32LE(ten.data() + 1), 500u);
}

TEST_F(CallTranslation, OperandBytesAreNotTakenForOpcodes) {
  decoder().block.translationSize = 1000;
  decoder().window.translationOffset = 0;
  // E8 at 0 with operand bytes E8 07 00 00; E8 at 5 (five apart) with operand 300.
  std::vector<uint8_t> data(40, 0x90);
  const std::vector<uint8_t> head = {0xE8, 0xE8, 0x07, 0x00, 0x00, 0xE8, 0x2C, 0x01, 0x00, 0x00};
  std::copy(head.begin(), head.end(), data.begin());
  Emit(data, 40);
  EXPECT_EQ(ReadU32LE(data.data() + 1), 0x07E8u - 0);  // the operand, translated once
  EXPECT_EQ(ReadU32LE(data.data() + 6), 300u - 5);
}

TEST_F(CallTranslation, LastSixBytesAreRestoredAndNothingAfterIsTouched) {
  decoder().block.translationSize = 1000;
  decoder().window.translationOffset = 0;
  std::vector<uint8_t> data(50, 0x11);
  for (size_t i = 40; i < 50; ++i) data[i] = static_cast<uint8_t>(i);
  Emit(data, 40);
  for (size_t i = 0; i < 40; ++i) ASSERT_EQ(data[i], 0x11) << i;
  for (size_t i = 40; i < 50; ++i) ASSERT_EQ(data[i], i) << i;
}

TEST_F(CallTranslation, EmitChunkTranslatesOnlyBelowChunk32768AndOnlyWhenEnabled) {
  const std::vector<uint8_t> window = Chunk(32, 3, 100);
  std::vector<uint8_t> out(32);
  decoder().window.translationOffset = 0;

  decoder().block.translationSize = 0;
  EmitChunk(decoder(), out.data(), 32, window.data());
  EXPECT_EQ(out, window);

  decoder().block.translationSize = 1000;
  decoder().window.chunkCount = 32768;
  EmitChunk(decoder(), out.data(), 32, window.data());
  EXPECT_EQ(out, window);

  decoder().window.chunkCount = 32767;
  EmitChunk(decoder(), out.data(), 32, window.data());
  EXPECT_EQ(ReadU32LE(out.data() + 4), 97u);
  EXPECT_EQ(ReadU32LE(window.data() + 4), 100u);  // the window keeps the untranslated bytes
}

// End to end: `failing` chunks that fail at their block header, then a chunk holding an 0xE8 call.
// Failed chunks count as chunks but move neither the output nor the call translation offset.
std::vector<uint8_t> CallAfterFailedChunks(uint32_t failing) {
  FramedStream framed;
  LzxWriter first;
  first.StreamHeader(5000);
  first.BlockType(0, 0);  // invalid type: the chunk fails
  framed.Standard(first.TakeChunk());
  for (uint32_t i = 1; i < failing; ++i) framed.Standard({0x00, 0x00});  // block type 0 again
  LzxWriter last;
  last.UncompressedHeader(16);
  last.bits().PutRaw({0x90, 0xE8, 0x10, 0x00, 0x00, 0x00, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90});
  framed.Sized(16, last.bits().bytes());
  return DecodeStream(framed.WithTrailer(), 32768).bytes;  // room for one standard chunk
}

TEST(CallTranslationChunkLimit, Chunk32767IsTranslatedChunk32768IsNot) {
  const std::vector<uint8_t> translated = CallAfterFailedChunks(32767);
  ASSERT_EQ(translated.size(), 16u);
  EXPECT_EQ(ReadU32LE(translated.data() + 2), 0x10u - 1);
  const std::vector<uint8_t> untouched = CallAfterFailedChunks(32768);
  ASSERT_EQ(untouched.size(), 16u);
  EXPECT_EQ(ReadU32LE(untouched.data() + 2), 0x10u);
}

}  // namespace
}  // namespace vykcn::lzx::test

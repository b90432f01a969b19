// Uncompressed-block bytes go to the caller directly and reach the window only when something
// reads it. Whatever the mix of blocks, chunks and calls, later matches must see those bytes, and
// the window must hold them untranslated.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/byte_order.h"
#include "lzx/decoder/decode_helpers.h"
#include "lzx/decoder/stream_writer.h"

namespace vykcn::lzx::test {
namespace {

std::vector<uint8_t> Pattern(size_t n, unsigned seed) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>((i * 131 + seed * 17 + (i >> 7)) & 0xFF);
  return bytes;
}

// An uncompressed block holding `bytes`.
void PutRawBlock(LzxWriter& w, const std::vector<uint8_t>& bytes) {
  w.UncompressedHeader(static_cast<uint32_t>(bytes.size()));
  w.bits().PutRaw(bytes);
}

// Appends `length` bytes copied from `offset` back, as a forward byte copy does.
void AppendMatch(std::vector<uint8_t>& out, uint32_t offset, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) out.push_back(out[out.size() - offset]);
}

// Raw bytes, then in the same chunk a compressed block whose matches read them, then a raw chunk
// and a compressed chunk reading across both.
TEST(RawBytes, MatchesReadRawBytesOfTheSameAndOfEarlierChunks) {
  LzxWriter w;
  w.StreamHeader(0);
  const std::vector<uint8_t> head = Pattern(1000, 1);
  PutRawBlock(w, head);
  std::vector<uint8_t> expected = head;
  w.VerbatimHeader(32768 - 1000, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  for (uint32_t done = 0; done < 32768 - 1000; done += 250) {
    const uint32_t length = std::min<uint32_t>(250, 32768 - 1000 - done);
    w.MatchAt(length, 1000);
    AppendMatch(expected, 1000, length);
  }
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  const std::vector<uint8_t> middle = Pattern(32768, 2);
  PutRawBlock(w, middle);
  expected.insert(expected.end(), middle.begin(), middle.end());
  framed.Standard(w.TakeChunk());
  w.VerbatimHeader(600, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(200, 32768 + 5);  // from the end of the first chunk into the raw chunk
  w.MatchAt(200, 65536 - 10);  // from the raw head of the first chunk
  w.MatchAt(200, 7);
  AppendMatch(expected, 32768 + 5, 200);
  AppendMatch(expected, 65536 - 10, 200);
  AppendMatch(expected, 7, 200);
  framed.Sized(600, w.TakeChunk());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), expected.size());
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, expected);
}

// Twenty raw blocks of 10 bytes, each behind a 12-byte header, make more separate ranges than are
// kept waiting; a compressed block then copies all 200 bytes.
TEST(RawBytes, ManySmallRawBlocksAllReachTheWindow) {
  LzxWriter w;
  w.StreamHeader(0);
  std::vector<uint8_t> expected;
  for (unsigned block = 0; block < 20; ++block) {
    const std::vector<uint8_t> bytes = Pattern(10, block);
    w.UncompressedHeader(10, 1, 1, 1);
    w.bits().PutRaw(bytes);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  w.VerbatimHeader(400, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(200, 200);
  w.MatchAt(200, 400);
  AppendMatch(expected, 200, 200);
  AppendMatch(expected, 400, 200);
  const DecodeResult r = DecodeStream(FramedStream().Sized(600, w.TakeChunk()).WithTrailer(), 600);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, expected);
}

// In a 32 KiB window, three raw chunks (the first two overwritten in full), then a match at the
// largest offset, which reaches 3 bytes past the write position into the last raw chunk, and one
// that wraps through the mirror.
TEST(RawBytes, RawChunksBeyondAWholeWindowLeaveTheLastWindowOfBytes) {
  LzxWriter w(30);
  w.StreamHeader(0);
  std::vector<uint8_t> expected;
  FramedStream framed;
  w.UncompressedHeader(3 * 32768);
  for (unsigned chunk = 0; chunk < 3; ++chunk) {
    const std::vector<uint8_t> bytes = Pattern(32768, 10 + chunk);
    w.bits().PutRaw(bytes);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
    framed.Standard(w.TakeChunk());
  }
  w.VerbatimHeader(300, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(20, 32768 - 3);
  w.MatchAt(250, 32768 - 30);
  w.MatchAt(30, 32768 - 30);
  AppendMatch(expected, 32768 - 3, 20);
  AppendMatch(expected, 32768 - 30, 250);
  AppendMatch(expected, 32768 - 30, 30);
  framed.Sized(300, w.TakeChunk());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), expected.size(), 32768);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, expected);
}

// Two raw blocks fill a 32 KiB window: 50 bytes, then 32718 more (a separate range, behind its own
// header). The next chunk's match at the largest offset reads the first block's bytes.
TEST(RawBytes, ARangeIsDroppedOnlyOnceNewerRangesCoverTheWholeWindow) {
  LzxWriter w(30);
  w.StreamHeader(0);
  const std::vector<uint8_t> first = Pattern(50, 4);
  const std::vector<uint8_t> second = Pattern(32718, 5);
  PutRawBlock(w, first);
  PutRawBlock(w, second);
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  w.VerbatimHeader(40, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(40, 32768 - 3);
  framed.Sized(40, w.TakeChunk());
  std::vector<uint8_t> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  AppendMatch(expected, 32768 - 3, 40);
  const DecodeResult r = DecodeStream(framed.WithTrailer(), expected.size(), 32768);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, expected);
}

// A continuous stream: raw bytes of the first call are read by a match in the second call, after
// the first call's source is gone.
TEST(RawBytes, ContinuousStreamKeepsRawBytesPastTheCall) {
  LzxWriter w;
  w.StreamHeader(0);
  const std::vector<uint8_t> raw = Pattern(32768, 3);
  PutRawBlock(w, raw);
  auto first = std::make_unique<std::vector<uint8_t>>(FramedStream().Standard(w.TakeChunk()).WithTrailer());
  w.VerbatimHeader(100, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(100, 32768);
  const std::vector<uint8_t> second = FramedStream().Sized(100, w.TakeChunk()).WithTrailer();

  const CodecParameters parameters{0, kTranslationWindowSize, 0};
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, &parameters, ContinuousStream, &context), kStatusOk);
  std::vector<uint8_t> out(32768);
  size_t size = out.size();
  ASSERT_EQ(Decompress(context, out.data(), &size, first->data(), first->size()), kStatusOk);
  EXPECT_EQ(out, raw);
  std::fill(first->begin(), first->end(), 0xAB);
  first.reset();
  size = out.size();
  ASSERT_EQ(Decompress(context, out.data(), &size, second.data(), second.size()), kStatusOk);
  ASSERT_EQ(size, 100u);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 100, raw.begin()));
  DestroyDecompressionContext(context);
}

// Call translation on a raw-only chunk works on the caller's copy; the window keeps the raw bytes,
// so a match that copies them is translated again at its own stream position.
TEST(RawBytes, CallTranslationLeavesTheWindowUntranslated) {
  LzxWriter w;
  w.StreamHeader(100000);
  std::vector<uint8_t> raw(32768, 0x90);
  raw[100] = 0xE8;  // operand 5000 at position 100: relative 4900
  raw[101] = 0x88;
  raw[102] = 0x13;
  raw[103] = raw[104] = 0;
  PutRawBlock(w, raw);
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  w.VerbatimHeader(300, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(150, 32768);  // the same bytes again, the E8 now at position 32868
  w.MatchAt(150, 32768);
  framed.Sized(300, w.TakeChunk());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 32768 + 300);
  ASSERT_EQ(r.status, kStatusOk);
  ASSERT_EQ(r.bytes.size(), 32768u + 300);
  auto operand = [&](size_t at) { return ReadU32LE(&r.bytes[at]); };
  EXPECT_EQ(operand(101), 5000u - 100);
  EXPECT_EQ(operand(32768 + 101), 5000u - (32768 + 100));
}

}  // namespace
}  // namespace vykcn::lzx::test

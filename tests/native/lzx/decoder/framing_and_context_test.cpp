// The decompression context (creation, slot counts, reset) and the chunk framing walk.
#include <gtest/gtest.h>

#include "formats/translation_resource.h"
#include "lzx/decoder/chunk_framing.h"
#include "lzx/decoder/decode_helpers.h"
#include "lzx/decoder/decoder_testing.h"
#include "lzx/decoder/stream_writer.h"

namespace vykcn::lzx::test {
namespace {

// An uncompressed block of `size` bytes (i * 7) starting a stream, with the stream header.
std::vector<uint8_t> RawStreamStart(LzxWriter& w, uint32_t size, std::vector<uint8_t>& raw) {
  raw.resize(size);
  for (uint32_t i = 0; i < size; ++i) raw[i] = static_cast<uint8_t>(i * 7);
  w.StreamHeader(0);
  w.UncompressedHeader(size);
  return w.bits().bytes();
}

// One standard chunk (32768 raw bytes) and then a sized chunk of `lastSize` raw bytes.
std::vector<uint8_t> TwoChunkStream(uint16_t lastSize, std::vector<uint8_t>& raw) {
  LzxWriter w;
  std::vector<uint8_t> first = RawStreamStart(w, 32768 + lastSize, raw);
  first.insert(first.end(), raw.begin(), raw.begin() + 32768);
  return FramedStream()
      .Standard(first)
      .Sized(lastSize, std::vector<uint8_t>(raw.begin() + 32768, raw.end()))
      .WithTrailer();
}

TEST(Context, WindowSizeSelectsPositionSlots) {
  const std::pair<uint32_t, unsigned> cases[] = {{32768, 30}, {65536, 32}, {131072, 34}, {262144, 36},
                                                 {524288, 38}, {1048576, 42}, {2097152, 50}};
  for (auto [window, slots] : cases) {
    const CodecParameters parameters{0, window, 0};
    DecompressionContext* context = nullptr;
    ASSERT_EQ(CreateDecompressionContext(1, &parameters, 0, &context), kStatusOk);
    EXPECT_EQ(context->decoder.block.positionSlots, slots) << window;
    EXPECT_EQ(context->decoder.window.size, window);
    EXPECT_EQ(context->decoder.window.mask, window - 1);
    EXPECT_EQ(context->signature, 0x76C3F251u);
    EXPECT_EQ(context->codecType, 1u);
    EXPECT_EQ(context->contextFlags, HeapOwned);
    EXPECT_EQ(context->decoder.window.bytes, reinterpret_cast<uint8_t*>(context + 1));
    DestroyDecompressionContext(context);
  }
}

TEST(Context, NullParametersSelect128KiBAnd34Slots) {
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  EXPECT_EQ(context->decoder.window.size, 131072u);
  EXPECT_EQ(context->decoder.block.positionSlots, 34u);
  EXPECT_EQ(context->parameterFlags, 0u);
  DestroyDecompressionContext(context);
}

TEST(Context, SlotTables) {
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  const DecodeTables& d = context->decoder.tables;
  const int32_t firstBases[] = {-2, -1, 0, 1, 2, 4, 6, 10, 14, 22, 30, 46};
  for (int s = 0; s < 12; ++s) EXPECT_EQ(d.positionBase[s], firstBases[s]) << s;
  EXPECT_EQ(d.positionBase[35], 196606);
  EXPECT_EQ(d.positionBase[36], 262142);
  EXPECT_EQ(d.positionBase[50], 2097150);
  const uint8_t firstExtra[] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3};
  for (int s = 0; s < 10; ++s) EXPECT_EQ(d.extraBits[s], firstExtra[s]) << s;
  EXPECT_EQ(d.extraBits[34], 16);
  EXPECT_EQ(d.extraBits[35], 16);
  EXPECT_EQ(d.extraBits[36], 17);
  EXPECT_EQ(d.extraBits[51], 17);
  DestroyDecompressionContext(context);
}

TEST(Context, RejectsUnknownCodecsAndBadWindowSizes) {
  DecompressionContext* context = reinterpret_cast<DecompressionContext*>(0x1);
  EXPECT_EQ(static_cast<uint32_t>(CreateDecompressionContext(2, nullptr, 0, &context)), 0x80004005u);  // E_FAIL
  for (uint32_t window : {16384u, 100000u, 4194304u}) {
    const CodecParameters parameters{0, window, 0};
    EXPECT_EQ(CreateDecompressionContext(0, &parameters, 0, &context), kStatusFail) << window;
  }
  EXPECT_EQ(context, reinterpret_cast<DecompressionContext*>(0x1));  // left alone on failure
}

TEST(Context, ResetPutsTheDecoderAtAStreamStart) {
  std::vector<uint8_t> raw;
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  LzxDecoder& d = context->decoder;
  std::memset(d.tables.main.lengths, 9, sizeof(d.tables.main.lengths));
  std::memset(d.tables.length.lengths, 9, sizeof(d.tables.length.lengths));
  d.block.repeated.r0 = 5;
  d.window.position = 77;
  d.window.chunkCount = 3;
  const uint8_t source[5] = {};  // a call with a stream of no chunks: a reset and nothing more
  size_t size = 0;
  ASSERT_EQ(Decompress(context, nullptr, &size, source, sizeof(source)), kStatusOk);
  for (unsigned i = 0; i < 256 + 8 * 34; ++i) ASSERT_EQ(d.tables.main.lengths[i], 0);
  for (unsigned i = 0; i < 249; ++i) ASSERT_EQ(d.tables.length.lengths[i], 0);
  EXPECT_EQ(d.block.repeated.r0, 1u);
  EXPECT_EQ(d.block.repeated.r1, 1u);
  EXPECT_EQ(d.block.repeated.r2, 1u);
  EXPECT_EQ(d.window.position, 0);
  EXPECT_EQ(d.window.chunkCount, 0u);
  EXPECT_EQ(d.block.state, 1);
  EXPECT_EQ(d.block.headerPending, 1);
  DestroyDecompressionContext(context);
}

TEST(Context, ParameterFlagsAndReservedChangeNothing) {
  std::vector<uint8_t> raw;
  const std::vector<uint8_t> stream = TwoChunkStream(100, raw);
  for (CodecParameters parameters : {CodecParameters{0, kTranslationWindowSize, 0},
                                     CodecParameters{0xFFFFFFFF, kTranslationWindowSize, 0xFFFFFFFF}}) {
    DecompressionContext* context = nullptr;
    ASSERT_EQ(CreateDecompressionContext(0, &parameters, 0, &context), kStatusOk);
    std::vector<uint8_t> out(40000);
    size_t size = out.size();
    EXPECT_EQ(Decompress(context, out.data(), &size, stream.data(), stream.size()), kStatusOk);
    out.resize(size);
    EXPECT_EQ(out, raw);
    DestroyDecompressionContext(context);
  }
}

// The one walk over the chunk headers, which Decompress and a reader's output bound share: the
// chunks inside the framed area, in order, up to the trailer or a sized chunk; a header or data
// reaching past the area ends it as a failure; the bound is what the chunks walked may yield.
TEST(Framing, ChunkWalkAndTheOutputBound) {
  const std::vector<uint8_t> d3 = {1, 2, 3};
  struct Case {
    const char* what;
    std::vector<uint8_t> stream;
    std::vector<uint32_t> sizes;  // U of each chunk walked
    bool beyond;                  // the walk ends on a header or data past the framed area
  };
  const Case cases[] = {
      {"standard, sized, trailer", FramedStream().Standard(d3).Sized(100, d3).WithTrailer(), {32768, 100}, false},
      {"a sized chunk ends the walk", FramedStream().Sized(7, d3).Standard(d3).WithTrailer(), {7}, false},
      {"an empty sized chunk", FramedStream().Sized(0, {}).WithTrailer(), {0}, false},
      {"no trailer", FramedStream().Standard(std::vector<uint8_t>(10, 1)).bytes, {}, true},
      {"five bytes", {0xFF, 0, 1, 0, 1}, {}, false},
      {"a sized header cut short", {0xFF, 0x00, 0x10, 0, 0, 0, 0, 0}, {}, true},
      {"data past the area", {0, 3, 1, 2, 3, 0, 10, 9, 9, 0, 0, 0, 0, 0}, {32768}, true},
  };
  for (const Case& c : cases) {
    ChunkWalk walk(c.stream.data(), c.stream.size());
    FramedChunk chunk;
    std::vector<uint32_t> sizes;
    ChunkWalk::Step step;
    while ((step = walk.Next(&chunk)) == ChunkWalk::kChunk) {
      ASSERT_GE(chunk.data, c.stream.data()) << c.what;
      ASSERT_LE(chunk.data + chunk.compressedSize + kStreamTrailerSize, c.stream.data() + c.stream.size()) << c.what;
      sizes.push_back(chunk.uncompressedSize);
    }
    EXPECT_EQ(sizes, c.sizes) << c.what;
    EXPECT_EQ(step == ChunkWalk::kBeyond, c.beyond) << c.what;
    size_t bound = 0;
    for (const uint32_t size : c.sizes) bound += size;
    EXPECT_EQ(FramedStreamOutputBound(c.stream.data(), c.stream.size()), bound) << c.what;
  }
}

TEST(Framing, SourcesOfFiveBytesOrLessProduceNothing) {
  for (size_t n = 0; n <= 5; ++n) {
    const DecodeResult r = DecodeStream(std::vector<uint8_t>(n, 0xFF), 100);
    EXPECT_EQ(r.status, kStatusOk) << n;
    EXPECT_TRUE(r.bytes.empty()) << n;
  }
}

TEST(Framing, EmptySourceDoesNotResetButFiveBytesDo) {
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  context->decoder.window.chunkCount = 9;
  uint8_t source[5] = {};
  size_t size = 0;
  EXPECT_EQ(Decompress(context, nullptr, &size, source, 0), kStatusOk);
  EXPECT_EQ(context->decoder.window.chunkCount, 9u);
  size = 0;
  EXPECT_EQ(Decompress(context, nullptr, &size, source, 5), kStatusOk);
  EXPECT_EQ(context->decoder.window.chunkCount, 0u);
  DestroyDecompressionContext(context);
}

TEST(Framing, StandardChunksOnlyNeedTheTrailer) {
  LzxWriter w;
  std::vector<uint8_t> raw;
  std::vector<uint8_t> chunk = RawStreamStart(w, 32768, raw);
  chunk.insert(chunk.end(), raw.begin(), raw.end());
  const FramedStream framed = FramedStream().Standard(chunk);
  const DecodeResult with = DecodeStream(framed.WithTrailer(), 65536);
  EXPECT_EQ(with.status, kStatusOk);
  EXPECT_EQ(with.bytes, raw);
  // Without the trailer the chunk's data reaches into the last 5 bytes: the walk stops there.
  const DecodeResult without = DecodeStream(framed.bytes, 65536);
  EXPECT_EQ(without.status, kStatusFail);
  EXPECT_TRUE(without.bytes.empty());
}

TEST(Framing, SizedChunkEndsTheWalk) {
  std::vector<uint8_t> raw;
  std::vector<uint8_t> stream = TwoChunkStream(100, raw);
  stream.resize(stream.size() - 5);  // drop the trailer, add a chunk that must not be decoded
  const std::vector<uint8_t> extra = FramedStream().Sized(50, std::vector<uint8_t>(60, 0)).WithTrailer();
  stream.insert(stream.end(), extra.begin(), extra.end());
  const DecodeResult r = DecodeStream(stream, 65536);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, raw);
}

TEST(Framing, SizedChunkWithZeroSizeCountsAsAChunk) {
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  const std::vector<uint8_t> stream = FramedStream().Sized(0, {0x12, 0x34}).WithTrailer();
  uint8_t out[8];
  size_t size = sizeof(out);
  EXPECT_EQ(Decompress(context, out, &size, stream.data(), stream.size()), kStatusOk);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(context->decoder.window.chunkCount, 1u);
  DestroyDecompressionContext(context);
}

TEST(Framing, FailedChunkAddsNothingAndTheWalkGoesOn) {
  LzxWriter w;
  w.StreamHeader(0);
  w.BlockType(6, 32768);  // invalid block type
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  LzxWriter next;  // the stream header has been read; the next chunk starts with a block header
  next.UncompressedHeader(40);
  std::vector<uint8_t> raw(40, 0x42);
  next.bits().PutRaw(raw);
  framed.Sized(40, next.bits().bytes());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 65536);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, raw);
}

TEST(Framing, TwoCallsOnOneContextGiveTheSameResult) {
  std::vector<uint8_t> raw;
  const std::vector<uint8_t> stream = TwoChunkStream(1234, raw);
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  for (int call = 0; call < 2; ++call) {
    std::vector<uint8_t> out(70000);
    size_t size = out.size();
    EXPECT_EQ(Decompress(context, out.data(), &size, stream.data(), stream.size()), kStatusOk);
    out.resize(size);
    EXPECT_EQ(out, raw) << call;
  }
  DestroyDecompressionContext(context);
}

TEST(Framing, ContinuousStreamCarriesStateAcrossCalls) {
  LzxWriter w;
  std::vector<uint8_t> raw;
  std::vector<uint8_t> first = RawStreamStart(w, 32768 + 500, raw);
  first.insert(first.end(), raw.begin(), raw.begin() + 32768);
  const std::vector<uint8_t> part1 = FramedStream().Standard(first).WithTrailer();
  const std::vector<uint8_t> part2 =
      FramedStream().Sized(500, std::vector<uint8_t>(raw.begin() + 32768, raw.end())).WithTrailer();
  for (bool continuous : {true, false}) {
    DecompressionContext* context = nullptr;
    ASSERT_EQ(CreateDecompressionContext(0, nullptr, continuous ? ContinuousStream : 0, &context), kStatusOk);
    std::vector<uint8_t> out(32768);
    size_t size = out.size();
    ASSERT_EQ(Decompress(context, out.data(), &size, part1.data(), part1.size()), kStatusOk);
    EXPECT_EQ(size, 32768u);
    size = out.size();
    ASSERT_EQ(Decompress(context, out.data(), &size, part2.data(), part2.size()), kStatusOk);
    if (continuous) {
      ASSERT_EQ(size, 500u);
      EXPECT_TRUE(std::equal(out.begin(), out.begin() + 500, raw.begin() + 32768));
    } else {
      EXPECT_NE(size, 500u);  // a fresh stream: the raw bytes are read as a stream header
    }
    DestroyDecompressionContext(context);
  }
}

TEST(Framing, ContextThatIsNotLzxFails) {
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, nullptr, 0, &context), kStatusOk);
  context->codecType = 2;
  uint8_t source[10] = {};
  size_t size = 0;
  EXPECT_EQ(Decompress(context, nullptr, &size, source, sizeof(source)), kStatusFail);
  DestroyDecompressionContext(context);
}

}  // namespace
}  // namespace vykcn::lzx::test

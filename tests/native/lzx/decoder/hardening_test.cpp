// Corrupt and hostile inputs: the decoder stays inside the source, the destination capacity, the
// window and its mirror, whatever the bytes. (Run under ASan+UBSan too, where every source buffer
// is exactly its size.)
#include <gtest/gtest.h>

#include <cstring>

#include "lzx/decoder/decode_helpers.h"
#include "lzx/decoder/decoder_fixture.h"
#include "lzx/decoder/block_header.h"
#include "lzx/decoder/stream_writer.h"

namespace vykcn::lzx::test {
namespace {

TEST(SourceBounds, ChunkHeaderReachingPastTheFramedAreaStopsTheWalk) {
  // 8 bytes: 3 framed bytes, too few for a sized header.
  DecodeResult r = DecodeStream({0xFF, 0x00, 0x10, 0, 0, 0, 0, 0}, 100);
  EXPECT_EQ(r.status, kStatusFail);
  EXPECT_TRUE(r.bytes.empty());
  // 6 bytes: 1 framed byte, too few for a standard header.
  r = DecodeStream({0x00, 0, 0, 0, 0, 0}, 100);
  EXPECT_EQ(r.status, kStatusFail);
}

TEST(SourceBounds, ChunkDataReachingPastTheSourceStopsTheWalk) {
  const std::vector<uint8_t> stream = {0xFF, 0x00, 0x10, 0x03, 0xE8, 1, 2, 3, 4, 5, 6, 7, 8};
  const DecodeResult r = DecodeStream(stream, 100);
  EXPECT_EQ(r.status, kStatusFail);
  EXPECT_TRUE(r.bytes.empty());
}

TEST(SourceBounds, BytesProducedBeforeABadHeaderAreReported) {
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(32768 + 10);
  w.bits().PutRaw(std::vector<uint8_t>(32768, 0x33));
  std::vector<uint8_t> stream = FramedStream().Standard(w.bits().bytes()).bytes;
  stream.push_back(0x40);  // a standard header claiming 0x40xx bytes, which are not there
  stream.push_back(0x00);
  stream.insert(stream.end(), 5, 0);
  const DecodeResult r = DecodeStream(stream, 65536);
  EXPECT_EQ(r.status, kStatusFail);
  EXPECT_EQ(r.bytes, std::vector<uint8_t>(32768, 0x33));
}

// The last chunk is read with look-ahead into the trailer only; a corrupt block that keeps
// decoding until the input test stops it (long codes, 16-bit footers) stays in the buffer.
TEST(SourceBounds, CorruptLastChunkNeverReadsPastTheSource) {
  for (size_t cut = 0; cut < 40; ++cut) {
    LzxWriter w;
    w.StreamHeader(0);
    w.VerbatimHeader(30000, w.FullMainLengths(), LzxWriter::FullLengthLengths());
    w.Literals(std::vector<uint8_t>(10, 'a'));
    for (int i = 0; i < 20; ++i) w.Match(257, 35, 0xFFFF);  // slot 35: 16 footer bits
    std::vector<uint8_t> data = w.TakeChunk();
    data.resize(data.size() - cut % 24);
    for (uint8_t tail : {0x00, 0xFF}) {
      std::vector<uint8_t> stream = FramedStream().Sized(30000, data).bytes;
      stream.insert(stream.end(), 5, tail);
      const DecodeResult r = DecodeStream(stream, 30000);
      EXPECT_EQ(r.status, kStatusOk);
      EXPECT_TRUE(r.bytes.empty());  // the block runs out of input
    }
  }
}

// The input test comes before each main symbol: a symbol may start while the bits consumed since
// the chunk's start lie inside its C bytes of data (rounded to words); the 4 bytes of look-ahead
// past the data may be read but never start a symbol. Here the declared C is cut 2 bytes short of
// the real bits (which stay readable as look-ahead), so the last literals fall on either side of
// the limit, in the low-position path and in the general path.
TEST(InputLimit, MainSymbolsStartOnlyInsideTheChunkData) {
  std::vector<unsigned> used;
  for (unsigned s = 0; s < 512; ++s) used.push_back(s);  // 512 codes of 9 bits
  int successes = 0, failures = 0;
  for (unsigned n = 10; n < 700; n += 7) {
    LzxWriter w;
    w.StreamHeader(0);
    w.VerbatimHeader(n, CompleteLengths(w.mainSymbols(), used), LzxWriter::FullLengthLengths());
    const size_t headerBits = w.bits().bytes().size() * 8 + w.bits().BitsInWord();
    w.Literals(std::vector<uint8_t>(n, 'L'));
    const std::vector<uint8_t> data = w.TakeChunk();
    const size_t declared = data.size() - 2;
    std::vector<uint8_t> stream = FramedStream().Sized(static_cast<uint16_t>(n),
                                                       std::vector<uint8_t>(data.begin(), data.end() - 2)).bytes;
    stream.insert(stream.end(), data.end() - 2, data.end());
    stream.insert(stream.end(), 5, 0);
    const bool lastStartsInside = headerBits + 9 * (n - 1) < 8 * declared;
    const DecodeResult r = DecodeStream(stream, n);
    EXPECT_EQ(r.bytes.size() == n, lastStartsInside) << "n=" << n << " header bits " << headerBits;
    (lastStartsInside ? successes : failures)++;
  }
  EXPECT_GT(successes, 10);
  EXPECT_GT(failures, 10);
}

TEST(DestinationBounds, ChunkThatWouldOverflowStopsDecoding) {
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(32768 + 100);
  std::vector<uint8_t> raw(32868);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i);
  w.bits().PutRaw(std::vector<uint8_t>(raw.begin(), raw.begin() + 32768));
  const std::vector<uint8_t> stream = FramedStream()
                                          .Standard(w.bits().bytes())
                                          .Sized(100, std::vector<uint8_t>(raw.begin() + 32768, raw.end()))
                                          .WithTrailer();
  EXPECT_EQ(DecodeStream(stream, 32868).bytes, raw);  // exactly enough
  DecodeResult r = DecodeStream(stream, 32867);          // one byte short: the sized chunk stops it
  EXPECT_EQ(r.status, kStatusFail);
  EXPECT_EQ(r.bytes, std::vector<uint8_t>(raw.begin(), raw.begin() + 32768));
  r = DecodeStream(stream, 100);  // not even the first chunk fits
  EXPECT_EQ(r.status, kStatusFail);
  EXPECT_TRUE(r.bytes.empty());
}

TEST(WindowBounds, SizedChunkLargerThanTheWindowFails) {
  LzxWriter w(30);
  w.StreamHeader(0);
  w.UncompressedHeader(40000);
  w.bits().PutRaw(std::vector<uint8_t>(40000, 0x5A));
  const std::vector<uint8_t> stream = FramedStream().Sized(40000, w.bits().bytes()).WithTrailer();
  const DecodeResult small = DecodeStream(stream, 65536, 32768);
  EXPECT_EQ(small.status, kStatusOk);
  EXPECT_TRUE(small.bytes.empty());
  // The same chunk fits a 64 KiB window.
  EXPECT_EQ(DecodeStream(stream, 65536, 65536).bytes, std::vector<uint8_t>(40000, 0x5A));
}

// A chunk fails with a match overshooting its block end, leaving windowPosition at 310. The next
// chunks would then run past the end of a 32 KiB window; they fail instead.
TEST(WindowBounds, ChunkAfterAnOffGridFailureFailsInsteadOfOverrunning) {
  LzxWriter w(30);
  w.StreamHeader(0);
  w.VerbatimHeader(300, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(std::vector<uint8_t>(290, 'q'));
  w.MatchAt(20, 1);  // ends at 310, past the block's 300
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  LzxWriter next(30);
  next.UncompressedHeader(32768 + 1000);
  next.bits().PutRaw(std::vector<uint8_t>(32768, 0x77));
  framed.Standard(next.bits().bytes());
  framed.Sized(1000, std::vector<uint8_t>(1000, 0x78));
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 3 * 32768, 32768);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_TRUE(r.bytes.empty());
}

TEST(WindowBounds, MatchBeforeTheStreamStartReadsZeros) {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(300, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals({'a', 'b'});
  w.MatchAt(10, 6);      // 4 bytes before the stream start, then "ab", then repeats
  w.MatchAt(257, 1000);  // general path later: all before the start
  w.Literals(std::vector<uint8_t>(31, 'z'));
  const DecodeResult r = DecodeStream(FramedStream().Sized(300, w.TakeChunk()).WithTrailer(), 300);
  std::vector<uint8_t> expected = {'a', 'b', 0, 0, 0, 0, 'a', 'b', 0, 0, 0, 0};
  expected.insert(expected.end(), 257, 0);
  expected.insert(expected.end(), 31, 'z');
  EXPECT_EQ(r.bytes, expected);
}

// The stream of the test above: "ab", a match reaching 4 bytes before the start, a general-path
// match entirely before it, then 31 'z'.
std::vector<uint8_t> StreamReachingBeforeItsStart() {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(300, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals({'a', 'b'});
  w.MatchAt(10, 6);
  w.MatchAt(257, 1000);
  w.Literals(std::vector<uint8_t>(31, 'z'));
  return FramedStream().Sized(300, w.TakeChunk()).WithTrailer();
}

std::vector<uint8_t> DecodeOn(DecompressionContext* context, const std::vector<uint8_t>& stream, size_t capacity) {
  std::vector<uint8_t> out(capacity);
  size_t size = out.size();
  EXPECT_EQ(Decompress(context, out.data(), &size, stream.data(), stream.size()), kStatusOk);
  out.resize(size);
  return out;
}

// What the window held before (heap contents, or an earlier stream on the same context) never
// shows through: each stream reads zeros before its own first byte.
TEST(WindowBounds, BytesBeforeTheStreamStartAreZerosWhateverTheWindowHeld) {
  std::vector<uint8_t> expected = {'a', 'b', 0, 0, 0, 0, 'a', 'b', 0, 0, 0, 0};
  expected.insert(expected.end(), 257, 0);
  expected.insert(expected.end(), 31, 'z');
  const std::vector<uint8_t> stream = StreamReachingBeforeItsStart();

  const CodecParameters parameters{0, kTranslationWindowSize, 0};
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, &parameters, 0, &context), kStatusOk);
  FillWindow(context, 0xEE);  // as a dirty heap block would leave it
  const uint32_t windowSize = context->decoder.window.size;
  EXPECT_EQ(DecodeOn(context, stream, 300), expected);

  // A first stream that fills the whole window with 'x', then the same stream again.
  LzxWriter filler;
  filler.StreamHeader(0);
  filler.UncompressedHeader(windowSize);
  FramedStream framed;
  for (uint32_t filled = 0; filled < windowSize; filled += 32768) {
    filler.bits().PutRaw(std::vector<uint8_t>(32768, 'x'));
    framed.Standard(filler.TakeChunk());
  }
  EXPECT_EQ(DecodeOn(context, framed.WithTrailer(), windowSize), std::vector<uint8_t>(windowSize, 'x'));
  EXPECT_EQ(DecodeOn(context, stream, 300), expected);
  DestroyDecompressionContext(context);
}

// After one chunk the window is filled up to 32768 only: a match that wraps around the window end
// reads zeros for the positions not yet written and the mirror's bytes after the end.
TEST(WindowBounds, WrappedMatchReadsZerosOnlyWhereTheStreamHasNotWritten) {
  std::vector<uint8_t> first(32768);
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<uint8_t>('A' + i % 7);
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(32768);
  w.bits().PutRaw(first);
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  w.VerbatimHeader(300, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.MatchAt(20, 40000);         // source at W - 7232: never written
  w.MatchAt(20, 32788 + 10);    // source at W - 10: 10 unwritten bytes, then positions 0 to 9
  w.Literals(std::vector<uint8_t>(260, 'z'));
  framed.Sized(300, w.TakeChunk());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 40000);
  ASSERT_EQ(r.status, kStatusOk);
  std::vector<uint8_t> expected = first;
  expected.insert(expected.end(), 30, 0);
  expected.insert(expected.end(), first.begin(), first.begin() + 10);
  expected.insert(expected.end(), 260, 'z');
  EXPECT_EQ(r.bytes, expected);
}

TEST(CodeLengthBounds, LengthAboveSixteenFailsTheTreeRead) {
  LzxWriter w;
  w.StreamHeader(0);
  w.BlockType(1, 100);
  w.PutPretree();
  w.pretree().Put(w.bits(), 19);  // run of 4 ...
  w.bits().PutBits(0, 1);
  w.pretree().Put(w.bits(), 19);  // ... of 0 - 19 + 17 = -2
  for (int i = 4; i < 256; ++i) w.pretree().Put(w.bits(), 0);
  const DecodeResult r = DecodeStream(FramedStream().Sized(100, w.TakeChunk()).WithTrailer(), 100);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_TRUE(r.bytes.empty());
}

// An uncompressed header right at a chunk's start steps back into the chunk's first word, never
// before it.
TEST(UncompressedHeaderBounds, HeaderAtTheStartOfAChunk) {
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(3, 2, 3, 4);
  w.bits().PutRaw({'x', 'y', 'z'});
  const DecodeResult r = DecodeStream(FramedStream().Sized(3, w.bits().bytes()).WithTrailer(), 10);
  EXPECT_EQ(r.bytes, (std::vector<uint8_t>{'x', 'y', 'z'}));
}

class UncompressedHeaderState : public DecoderFixture {};

// A header read whose refills found no input leaves the cursor at the chunk's first byte; the
// 2-byte step back would land before the chunk. It fails instead of reading there.
TEST_F(UncompressedHeaderState, StepBackBeforeTheChunkFails) {
  SetInput(std::vector<uint8_t>(16, 0));
  LzxDecoder& d = decoder();
  d.block.headerPending = 0;
  d.block.type = 0;
  d.block.state = 1;
  d.bits.inputCursor = d.bits.chunkData;
  d.bits.inputEnd = d.bits.chunkData;  // nothing to load
  d.bits.bitBuffer = 0x60000000u | (3u << 5);  // type 3, size 3
  d.bits.bitCount = 16;
  EXPECT_FALSE(ReadBlockHeader(d.bits, d.block, d.tables));
}

TEST(RawBlockBounds, RawBytesPastTheChunkInputFailTheChunk) {
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(100);
  w.bits().PutRaw(std::vector<uint8_t>(20, 1));  // 80 bytes short
  const DecodeResult r = DecodeStream(FramedStream().Sized(100, w.bits().bytes()).WithTrailer(), 100);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_TRUE(r.bytes.empty());
}

}  // namespace
}  // namespace vykcn::lzx::test

// Block decoding through the public entry: verbatim, aligned-offset and uncompressed blocks, the
// stream header, repeated offsets, the window mirror, blocks spanning chunks.
#include <gtest/gtest.h>

#include <numeric>

#include "lzx/decoder/decode_helpers.h"
#include "lzx/decoder/stream_writer.h"

namespace vykcn::lzx::test {
namespace {

std::vector<uint8_t> Bytes(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

// One sized chunk holding the whole stream.
std::vector<uint8_t> SingleChunk(LzxWriter& w, uint16_t size) {
  return FramedStream().Sized(size, w.TakeChunk()).WithTrailer();
}

TEST(VerbatimBlock, LiteralsAndMatches) {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(12, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(Bytes("abcd"));
  w.MatchAt(8, 4);  // "abcdabcd"
  const DecodeResult r = DecodeStream(SingleChunk(w, 12), 100);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, Bytes("abcdabcdabcd"));
}

TEST(VerbatimBlock, OverlappingMatchRepeatsJustWrittenBytes) {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(300 + 400, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  // Past position 257 (general path): offsets 1, 3 and 11 with long lengths.
  std::vector<uint8_t> expected;
  for (int i = 0; i < 300; ++i) {
    w.Literal(static_cast<uint8_t>(i * 7));
    expected.push_back(static_cast<uint8_t>(i * 7));
  }
  const std::pair<unsigned, uint32_t> matches[] = {{100, 1}, {150, 3}, {150, 11}};
  for (auto [length, offset] : matches) {
    w.MatchAt(length, offset);
    for (unsigned i = 0; i < length; ++i) expected.push_back(expected[expected.size() - offset]);
  }
  const DecodeResult r = DecodeStream(SingleChunk(w, 700), 1000);
  EXPECT_EQ(r.bytes, expected);
}

TEST(VerbatimBlock, LongestMatchAndAllFooterWidths) {
  LzxWriter w;
  w.StreamHeader(0);
  std::vector<uint8_t> expected(20000);
  for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  std::vector<std::pair<unsigned, uint32_t>> matches;
  for (uint32_t offset = 2; offset < 20000; offset = offset * 3 / 2 + 1) matches.push_back({257, offset});
  w.VerbatimHeader(static_cast<uint32_t>(expected.size() + 257 * matches.size()), w.FullMainLengths(),
                   LzxWriter::FullLengthLengths());
  w.Literals(expected);
  for (auto [length, offset] : matches) {
    w.MatchAt(length, offset);
    for (unsigned i = 0; i < length; ++i) expected.push_back(expected[expected.size() - offset]);
  }
  const DecodeResult r = DecodeStream(SingleChunk(w, static_cast<uint16_t>(expected.size())), 65536);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, expected);
}

TEST(RepeatedOffsets, SlotsZeroOneTwoUseAndSwapR) {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(35, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(Bytes("0123456789"));
  w.MatchAt(2, 10);  // R = 10, 1, 1
  w.MatchAt(2, 5);   // R = 5, 10, 1
  w.MatchAt(2, 3);   // R = 3, 5, 10
  w.Match(2, 0);     // offset 3; R unchanged
  w.Match(2, 1);     // offset 5; R = 5, 3, 10 (R0 and R1 swapped)
  w.Match(2, 2);     // offset 10; R = 10, 3, 5 (R0 and R2 swapped)
  w.Match(2, 0);     // offset 10
  w.Match(3, 1);     // offset 3; R = 3, 10, 5
  w.Match(3, 2);     // offset 5; R = 5, 10, 3
  w.Literals(Bytes("xxxxxxx"));  // the block ends after 5 of them
  const DecodeResult r = DecodeStream(SingleChunk(w, 35), 100);
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "012345678901781781810178178781xxxxx");
}

TEST(AlignedBlock, FooterSplitIntoVerbatimBitsAndAlignedSymbol) {
  LzxWriter w;
  w.StreamHeader(0);
  std::vector<uint8_t> expected(5000);
  for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<uint8_t>(i ^ (i >> 5));
  // A complete aligned code of lengths 2 to 4.
  const std::vector<uint8_t> alignedLengths = {2, 2, 3, 3, 4, 4, 4, 4};
  // Slots with 0 (slot 3), 1, 2, 3 and more than 3 footer bits.
  const uint32_t offsets[] = {1, 2, 3, 4, 5, 8, 9, 16, 17, 24, 1024, 1027, 4097, 4000};
  w.AlignedHeader(static_cast<uint32_t>(expected.size() + 30 * std::size(offsets)), alignedLengths,
                  w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(expected);
  for (uint32_t offset : offsets) {
    w.MatchAt(30, offset);
    for (unsigned i = 0; i < 30; ++i) expected.push_back(expected[expected.size() - offset]);
  }
  const DecodeResult r = DecodeStream(SingleChunk(w, static_cast<uint16_t>(expected.size())), 65536);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, expected);
}

TEST(UncompressedBlock, OddLengthIsFollowedDirectlyByTheNextHeader) {
  for (unsigned bitsBefore : {0u, 5u}) {  // header ending on and off a word boundary
    LzxWriter w;
    w.StreamHeader(0);
    // Verbatim block first, its length chosen so that the uncompressed header's padding varies.
    w.VerbatimHeader(bitsBefore, w.FullMainLengths(), LzxWriter::FullLengthLengths());
    for (unsigned i = 0; i < bitsBefore; ++i) w.Literal('v');
    w.UncompressedHeader(5, 7, 8, 9);
    w.bits().PutRaw(Bytes("odd!!"));
    w.VerbatimHeader(4, w.FullMainLengths(), LzxWriter::FullLengthLengths());
    w.Literals(Bytes("next"));
    const uint16_t total = static_cast<uint16_t>(bitsBefore + 9);
    const DecodeResult r = DecodeStream(SingleChunk(w, total), 100);
    EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), std::string(bitsBefore, 'v') + "odd!!next");
  }
}

TEST(UncompressedBlock, SetsRepeatedOffsetsForTheNextBlock) {
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(6, 3, 2, 6);
  w.bits().PutRaw(Bytes("abcdef"));
  w.VerbatimHeader(6, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Match(2, 0);  // R0 = 3: "de"
  w.Match(2, 1);  // R1 = 2: from position 6: "de"
  w.Match(2, 2);  // R2 = 6: from position 4: "ef"
  const DecodeResult r = DecodeStream(SingleChunk(w, 12), 100);
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "abcdefdedeef");
}

TEST(Blocks, ZeroSizeBlockIsPassedOver) {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(0, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.VerbatimHeader(3, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(Bytes("xyz"));
  EXPECT_EQ(DecodeStream(SingleChunk(w, 3), 10).bytes, Bytes("xyz"));
}

TEST(Blocks, InvalidBlockTypesFailTheChunk) {
  for (unsigned type : {0u, 4u, 5u, 6u, 7u}) {
    LzxWriter w;
    w.StreamHeader(0);
    w.BlockType(type, 10);
    const DecodeResult r = DecodeStream(SingleChunk(w, 10), 10);
    EXPECT_EQ(r.status, kStatusOk) << type;
    EXPECT_TRUE(r.bytes.empty()) << type;
  }
}

// A verbatim block of 40000 bytes over two chunks, then an uncompressed block that starts in the
// second chunk and runs into a third.
TEST(Blocks, SpanChunkBoundaries) {
  std::vector<uint8_t> expected;
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(40000, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  for (int i = 0; i < 32768; ++i) expected.push_back(static_cast<uint8_t>(i % 251));
  w.Literals(expected);
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  for (int i = 0; i < 7232; i += 251) {
    const unsigned length = std::min(251, 7232 - i);
    if (length >= 2) {
      w.MatchAt(length, 251);
      for (unsigned k = 0; k < length; ++k) expected.push_back(expected[expected.size() - 251]);
    } else {
      w.Literal(0x55);
      expected.push_back(0x55);
    }
  }
  // 40000 - 32768 = 7232 bytes of the verbatim block in chunk 2; then 25536 + 1000 raw bytes.
  std::vector<uint8_t> raw(26536);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 13);
  w.UncompressedHeader(static_cast<uint32_t>(raw.size()));
  w.bits().PutRaw(std::vector<uint8_t>(raw.begin(), raw.begin() + 25536));
  framed.Standard(w.bits().bytes());
  framed.Sized(1000, std::vector<uint8_t>(raw.begin() + 25536, raw.end()));
  expected.insert(expected.end(), raw.begin(), raw.end());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 3 * 32768);
  ASSERT_EQ(r.status, kStatusOk);
  ASSERT_EQ(r.bytes.size(), expected.size());
  EXPECT_EQ(r.bytes, expected);
}

TEST(StreamHeader, TranslationSizeIsReadOnceHighHalfFirst) {
  LzxWriter w;
  w.StreamHeader(0x00012345);
  w.VerbatimHeader(16, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  // 0xE8 at offset 0 with operand 0x10 (< 0x12345): becomes 0x10 - 0; at offset 5 with 0x20: 0x20 - 5.
  const std::vector<uint8_t> data = {0xE8, 0x10, 0, 0, 0, 0xE8, 0x20, 0, 0, 0, 1, 2, 3, 4, 5, 6};
  w.Literals(data);
  const DecodeResult r = DecodeStream(SingleChunk(w, 16), 100);
  const std::vector<uint8_t> expected = {0xE8, 0x10, 0, 0, 0, 0xE8, 0x1B, 0, 0, 0, 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(r.bytes, expected);
}

// Expected output by plain LZ semantics: each copied byte is the byte `offset` back.
struct Reference {
  std::vector<uint8_t> out;
  void Literal(uint8_t b) { out.push_back(b); }
  void Copy(unsigned length, uint32_t offset) {
    for (unsigned i = 0; i < length; ++i) out.push_back(out[out.size() - offset]);
  }
};

// Window of 32768. Chunk 2 restarts at window position 0: 300 raw bytes overwrite positions
// 0..299, then a match at 300 starts its source 10 bytes before the window end and runs on into
// positions 0..9 of the new pass (through the mirror).
TEST(Window, MatchSourceWrapsThroughTheMirror) {
  const uint32_t kWindow = 32768;
  Reference ref;
  LzxWriter w(30);
  w.StreamHeader(0);
  w.UncompressedHeader(kWindow + 300);
  std::vector<uint8_t> raw(kWindow + 300);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 31 + (i >> 8));
  for (uint8_t b : raw) ref.Literal(b);
  w.bits().PutRaw(std::vector<uint8_t>(raw.begin(), raw.begin() + kWindow));
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  w.bits().PutRaw(std::vector<uint8_t>(raw.begin() + kWindow, raw.end()));
  std::vector<uint8_t> chunk2 = w.bits().bytes();
  LzxWriter tail(30);  // the bit stream restarts after the raw data
  tail.VerbatimHeader(20, tail.FullMainLengths(), LzxWriter::FullLengthLengths());
  tail.MatchAt(20, 310);
  ref.Copy(20, 310);
  const std::vector<uint8_t> tailBytes = tail.TakeChunk();
  chunk2.insert(chunk2.end(), tailBytes.begin(), tailBytes.end());
  framed.Sized(320, chunk2);
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 2 * kWindow, kWindow);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, ref.out);
}

// A match that starts at 250 and crosses 257 is finished by the low-position path. In the second
// pass, low-path bytes (positions 0..39) must reach the mirror: a general-path match at 300 reads
// them through a source that wraps past the window end.
TEST(Window, MatchCrossing257AndLowPathMirrorWrites) {
  const uint32_t kWindow = 32768;
  Reference ref;
  LzxWriter w(30);
  w.StreamHeader(0);
  w.VerbatimHeader(kWindow + 320, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  for (int i = 0; i < 250; ++i) {
    w.Literal(static_cast<uint8_t>(i));
    ref.Literal(static_cast<uint8_t>(i));
  }
  w.MatchAt(20, 7);  // positions 250..269
  ref.Copy(20, 7);
  while (ref.out.size() < kWindow) {
    const size_t left = kWindow - ref.out.size();
    if (left >= 257) {
      w.MatchAt(257, 263);
      ref.Copy(257, 263);
    } else {
      w.Literal(static_cast<uint8_t>(left * 3));
      ref.Literal(static_cast<uint8_t>(left * 3));
    }
  }
  FramedStream framed;
  framed.Standard(w.TakeChunk());
  w.Literal(0xAA);  // second pass, position 0
  ref.Literal(0xAA);
  w.MatchAt(39, 30);  // positions 1..39, source W-29.. then the new position 0 and on
  ref.Copy(39, 30);
  while (ref.out.size() < kWindow + 300) {
    w.Literal(0x11);
    ref.Literal(0x11);
  }
  w.MatchAt(20, 310);  // source W-10..W-1, then positions 0..9 of this pass via the mirror
  ref.Copy(20, 310);
  framed.Sized(320, w.TakeChunk());
  const DecodeResult r = DecodeStream(framed.WithTrailer(), 2 * kWindow, kWindow);
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.bytes, ref.out);
}

TEST(Window, MatchPastTheBlockEndFailsTheChunk) {
  LzxWriter w;
  w.StreamHeader(0);
  w.VerbatimHeader(10, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(Bytes("abcdef"));
  w.MatchAt(8, 3);  // would end at 14 > 10
  const DecodeResult r = DecodeStream(SingleChunk(w, 10), 100);
  EXPECT_EQ(r.status, kStatusOk);
  EXPECT_TRUE(r.bytes.empty());
}

}  // namespace
}  // namespace vykcn::lzx::test

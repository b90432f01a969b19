// Direct output: a stream that starts afresh at a call is decoded straight into the destination.
// Its results must be the window decoder's in every case. The window decoder is what a context with
// ContinuousStream runs, so a fresh such context decoding the same stream is the oracle here: the
// cases below compare the two on streams from the encoder, corrupted ones, input limits cut at
// every length near their end, matches ending at the capacity, matches reaching before the stream
// start, repeated offsets of any value, and chunks that fail after others went straight through.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "base/byte_order.h"
#include "lzx/decoder/decode_helpers.h"
#include "lzx/decoder/decoder_testing.h"
#include "lzx/decoder/item_table.h"
#include "lzx/decoder/random_code.h"
#include "lzx/decoder/stream_writer.h"
#include "lzx/encoder/compress.h"

namespace vykcn::lzx::test {
namespace {

constexpr size_t kGuard = 64;  // bytes past the capacity that must stay untouched

struct Options {
  uint32_t window = kTranslationWindowSize;
  bool continuous = false;  // the window decoder
  bool baseline = false;    // the fast loop's baseline copy
};

// Decodes `stream` on a fresh context into `capacity` bytes followed by guard bytes.
DecodeResult Decode(const std::vector<uint8_t>& stream, size_t capacity, Options o) {
  DecodeResult result;
  const CodecParameters parameters{0, o.window, 0};
  DecompressionContext* context = nullptr;
  if (CreateDecompressionContext(0, &parameters, o.continuous ? ContinuousStream : 0, &context) != kStatusOk) {
    return result;
  }
  if (o.baseline) UseBaselineFastLoop(context);
  std::vector<uint8_t> source(stream);
  std::vector<uint8_t> out(capacity + kGuard, 0xCC);
  size_t size = capacity;
  result.status = Decompress(context, out.data(), &size, source.data(), source.size());
  DestroyDecompressionContext(context);
  for (size_t i = capacity; i < out.size(); ++i) {
    if (out[i] != 0xCC) result.status = 0x7FFFFFFF;  // wrote past the capacity
  }
  out.resize(size <= capacity ? size : capacity);
  result.bytes = out;
  return result;
}

// Direct output, with both copies of the fast loop, gives the window decoder's result.
void ExpectAsInTheWindow(const std::vector<uint8_t>& stream, size_t capacity, uint32_t window, const std::string& what) {
  const DecodeResult inWindow = Decode(stream, capacity, {window, true, false});
  for (const bool baseline : {false, true}) {
    const DecodeResult direct = Decode(stream, capacity, {window, false, baseline});
    EXPECT_EQ(direct.status, inWindow.status) << what << (baseline ? " (baseline)" : "");
    EXPECT_EQ(direct.bytes, inWindow.bytes) << what << (baseline ? " (baseline)" : "");
  }
}

// Text-like, code-like (with 0xE8 call operands), random bytes, or text and random bytes by turns
// (so that a chunk holds uncompressed blocks next to compressed ones).
std::vector<uint8_t> Sample(const std::string& kind, size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> data(size);
  const char* words[] = {"translation ", "字幕", "window ", "match ", "E8 ", "\xE8\x10\x20\x00\x00", "LZX ", "\n"};
  for (size_t i = 0; i < size;) {
    if (kind == "random" || (kind == "mixed" && i % 24576 >= 12288)) {
      data[i++] = static_cast<uint8_t>(rng());
    } else {
      const std::string word = words[rng() % (kind == "code" ? 8 : 5)];
      for (size_t k = 0; k < word.size() && i < size; ++k) data[i++] = static_cast<uint8_t>(word[k]);
      if (kind == "code" && i < size) data[i++] = static_cast<uint8_t>(rng() % 16);
    }
  }
  return data;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& data, uint32_t window, uint32_t callTranslation) {
  CompressOptions options;
  options.windowSize = window;
  options.callTranslationSize = callTranslation;
  return CompressLzx(data.data(), data.size(), options);
}

struct EncodedCase {
  const char* kind;
  size_t size;
  uint32_t window;
  uint32_t callTranslation;
};

constexpr EncodedCase kEncodedCases[] = {
    {"text", 100000, 32768, 0},          // three windows: matches reach across the wrap
    {"text", 400000, 262144, 0},         // the module's case
    {"code", 150000, 32768, 12000000},   // call translation waits a whole window
    {"code", 70000, 65536, 30000},       // and stops at the translation size
    {"random", 70000, 32768, 0},         // uncompressed blocks
    {"mixed", 120000, 65536, 0},         // uncompressed blocks, then compressed ones, in a chunk
    {"text", 5000, 2097152, 0},          // one short chunk
};

TEST(DirectOutput, EncodedStreamsDecodeAsInTheWindow) {
  for (const EncodedCase& c : kEncodedCases) {
    const std::vector<uint8_t> data = Sample(c.kind, c.size, 7);
    const std::vector<uint8_t> stream = Encode(data, c.window, c.callTranslation);
    const DecodeResult direct = Decode(stream, data.size(), {c.window, false, false});
    EXPECT_EQ(direct.status, kStatusOk) << c.kind << " " << c.size;
    EXPECT_TRUE(direct.bytes == data) << c.kind << " " << c.size;
    ExpectAsInTheWindow(stream, data.size(), c.window, std::string(c.kind) + " " + std::to_string(c.size));
  }
}

// Corrupt bytes anywhere: most chunks then fail somewhere, and the first that fails is decoded
// again in the window.
TEST(DirectOutput, CorruptStreamsDecodeAsInTheWindow) {
  for (const EncodedCase& c : kEncodedCases) {
    const std::vector<uint8_t> data = Sample(c.kind, c.size < 90000 ? c.size : 90000, 11);
    const std::vector<uint8_t> stream = Encode(data, c.window, c.callTranslation);
    std::mt19937 rng(static_cast<uint32_t>(c.size));
    for (int trial = 0; trial < 40; ++trial) {
      std::vector<uint8_t> corrupt = stream;
      const size_t at = 2 + rng() % (corrupt.size() - 2);
      corrupt[at] ^= static_cast<uint8_t>(1 + rng() % 255);
      ExpectAsInTheWindow(corrupt, data.size(), c.window, std::string(c.kind) + " byte " + std::to_string(at));
    }
  }
}

// The last chunk's input limit cut at every length near its end: the fast loop hands over to the
// careful loop at every distance from the limit, and the input runs out at every item position.
TEST(DirectOutput, InputLimitCutAtEveryLengthNearTheEnd) {
  for (const char* kind : {"text", "code"}) {
    const std::vector<uint8_t> data = Sample(kind, 20000, 3);
    const std::vector<uint8_t> stream = Encode(data, 32768, 0);
    ASSERT_EQ(stream[0], 0xFF);  // one sized chunk: 0xFF, U, C
    const uint16_t compressed = ReadU16BE(&stream[3]);
    for (uint16_t cut = 0; cut <= 48 && cut < compressed; ++cut) {
      std::vector<uint8_t> shorter = stream;
      shorter[3] = static_cast<uint8_t>((compressed - cut) >> 8);
      shorter[4] = static_cast<uint8_t>(compressed - cut);
      shorter.resize(shorter.size() - cut);  // the trailer follows the shorter data
      ExpectAsInTheWindow(shorter, data.size(), 32768, std::string(kind) + " cut " + std::to_string(cut));
    }
  }
}

// The expected bytes of a forward byte copy, zeros before the stream start.
void AppendMatch(std::vector<uint8_t>& out, uint32_t distance, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) out.push_back(out.size() >= distance ? out[out.size() - distance] : 0);
}

// A stream of `literals` literal bytes, then matches (distance, length) in order, in one chunk.
std::vector<uint8_t> LiteralsThenMatches(size_t literals, const std::vector<std::pair<uint32_t, uint32_t>>& matches,
                                         std::vector<uint8_t>* expected) {
  expected->clear();
  for (size_t i = 0; i < literals; ++i) expected->push_back(static_cast<uint8_t>('a' + (i * 7 + i / 13) % 26));
  LzxWriter w;
  w.StreamHeader(0);
  uint32_t size = static_cast<uint32_t>(literals);
  for (const auto& m : matches) size += m.second;
  w.VerbatimHeader(size, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Literals(*expected);
  for (const auto& m : matches) {
    w.MatchAt(m.second, m.first);
    AppendMatch(*expected, m.first, m.second);
  }
  return FramedStream().Sized(static_cast<uint16_t>(size), w.TakeChunk()).WithTrailer();
}

// Matches ending exactly at the capacity, with each way of copying (distance 1, 2..7, 8..15, 16 up;
// up to 32 bytes, longer): nothing is written past the capacity.
TEST(DirectOutput, MatchEndingExactlyAtTheCapacity) {
  const std::pair<uint32_t, uint32_t> kLast[] = {{1, 5},  {1, 257}, {3, 9},   {7, 200}, {8, 8},   {12, 31},
                                                 {16, 2}, {20, 16}, {40, 32}, {40, 33}, {300, 257}, {999, 100}};
  for (const auto& last : kLast) {
    for (const size_t literals : {1000, 1003}) {
      std::vector<uint8_t> expected;
      const std::vector<uint8_t> stream = LiteralsThenMatches(literals, {{5, 40}, last}, &expected);
      const std::string what = std::to_string(last.first) + "/" + std::to_string(last.second);
      for (const bool baseline : {false, true}) {
        const DecodeResult r = Decode(stream, expected.size(), {kTranslationWindowSize, false, baseline});
        EXPECT_EQ(r.status, kStatusOk) << what;
        EXPECT_EQ(r.bytes, expected) << what;
      }
      ExpectAsInTheWindow(stream, expected.size(), kTranslationWindowSize, what);
    }
  }
}

// Far from the stream start (where the fast loop runs), matches whose source begins before it:
// zeros, then the stream's first bytes.
TEST(DirectOutput, MatchBeforeTheStreamStartReadsZerosInTheFastLoop) {
  const std::pair<uint32_t, uint32_t> kMatches[] = {{2500, 100}, {2010, 30}, {2001, 257}, {2300, 257}, {4000, 16}};
  for (const auto& m : kMatches) {
    std::vector<uint8_t> expected;
    const std::vector<uint8_t> stream = LiteralsThenMatches(2000, {m, {1, 20}}, &expected);
    const std::string what = std::to_string(m.first) + "/" + std::to_string(m.second);
    EXPECT_EQ(Decode(stream, expected.size(), {}).bytes, expected) << what;
    ExpectAsInTheWindow(stream, expected.size(), kTranslationWindowSize, what);
  }
}

// An uncompressed block's header sets R0 to any value; a slot-0 match then reads
// ((R0 - 1) mod W) + 1 back: an R0 of 0 or W reads a whole window back (zeros before the stream
// has a window), others wrap modulo W. Matches come before and after the first window.
TEST(DirectOutput, RepeatedOffsetOfAnyValueWorksModuloTheWindow) {
  constexpr uint32_t kWindow = 32768;
  const uint32_t kR0[] = {0, kWindow, kWindow + 5, 3 * kWindow + 100, 0xFFFFFFFFu, 0x80000003u, 20000};
  for (const uint32_t r0 : kR0) {
    for (const uint32_t rawBytes : {300u, 40000u}) {
      LzxWriter w(30);
      w.StreamHeader(0);
      std::vector<uint8_t> expected(rawBytes);
      for (uint32_t i = 0; i < rawBytes; ++i) expected[i] = static_cast<uint8_t>(i * 13 + i / 251);
      w.UncompressedHeader(rawBytes, r0, 7, 9);
      FramedStream framed;
      uint32_t chunkFill = 0;
      for (uint32_t i = 0; i < rawBytes; ++i) {
        w.bits().PutRaw({expected[i]});
        if (++chunkFill == 32768) {
          framed.Standard(w.TakeChunk());
          chunkFill = 0;
        }
      }
      if (rawBytes % 2) w.bits().PutRaw({0});  // the bit stream resumes on a word boundary
      w.VerbatimHeader(600, w.FullMainLengths(), LzxWriter::FullLengthLengths());
      for (int i = 0; i < 3; ++i) w.Match(200, 0);
      const uint32_t distance = ((r0 - 1) & (kWindow - 1)) + 1;
      for (int i = 0; i < 3; ++i) AppendMatch(expected, distance, 200);
      framed.Sized(static_cast<uint16_t>(chunkFill + 600), w.TakeChunk());
      const std::vector<uint8_t> stream = framed.WithTrailer();
      const std::string what = "R0 " + std::to_string(r0) + " after " + std::to_string(rawBytes);
      EXPECT_EQ(Decode(stream, expected.size(), {kWindow, false, false}).bytes, expected) << what;
      ExpectAsInTheWindow(stream, expected.size(), kWindow, what);
    }
  }
}

// Five chunks with call translation on, one of them broken in one of three ways. The chunks before
// it went straight to the destination (their translation still pending), the broken one is
// decoded again in the window, and so are the ones after it.
TEST(DirectOutput, FailedChunkIsDecodedAgainInTheWindow) {
  const std::vector<uint8_t> data = Sample("code", 5 * 32768, 5);
  const std::vector<uint8_t> stream = Encode(data, 65536, 12000000);
  // The chunk boundaries.
  std::vector<size_t> starts;
  for (size_t p = 0; p + 5 < stream.size();) {
    starts.push_back(p);
    const bool sized = stream[p] == 0xFF;
    p += (sized ? 5 : 2) + ReadU16BE(&stream[p + (sized ? 3 : 0)]);
  }
  ASSERT_EQ(starts.size(), 5u);
  for (size_t broken = 0; broken < starts.size(); ++broken) {
    const size_t header = stream[starts[broken]] == 0xFF ? 5 : 2;
    const size_t data0 = starts[broken] + header;
    const uint16_t size = ReadU16BE(&stream[starts[broken] + header - 2]);
    for (const char* how : {"data cut short", "middle scrambled", "end zeroed"}) {
      std::vector<uint8_t> corrupt = stream;
      if (std::strcmp(how, "data cut short") == 0) {
        corrupt[starts[broken] + header - 2] = static_cast<uint8_t>((size / 3) >> 8);
        corrupt[starts[broken] + header - 1] = static_cast<uint8_t>(size / 3);
        corrupt.erase(corrupt.begin() + static_cast<ptrdiff_t>(data0 + size / 3),
                      corrupt.begin() + static_cast<ptrdiff_t>(data0 + size));
      } else if (std::strcmp(how, "middle scrambled") == 0) {
        for (size_t i = data0 + size / 2; i < data0 + size / 2 + 8; ++i) corrupt[i] ^= 0x5A;
      } else {
        std::fill(corrupt.begin() + static_cast<ptrdiff_t>(data0 + size - 16),
                  corrupt.begin() + static_cast<ptrdiff_t>(data0 + size), 0);
      }
      ExpectAsInTheWindow(corrupt, data.size(), 65536, std::string(how) + " in chunk " + std::to_string(broken));
    }
  }
}

// A call whose chunk fails in direct output starts again in the window; the context's next call is
// a fresh stream, decoded straight into its destination again.
TEST(DirectOutput, CallAfterOneThatStartedAgainInTheWindow) {
  const std::vector<uint8_t> data = Sample("code", 3 * 32768 + 1000, 9);
  const std::vector<uint8_t> stream = Encode(data, 65536, 12000000);
  std::vector<uint8_t> corrupt = stream;
  const size_t second = 2 + ReadU16BE(&stream[0]);  // the second chunk's header
  for (size_t i = second + 2 + 100; i < second + 2 + 108; ++i) corrupt[i] ^= 0x5A;
  const DecodeResult inWindow = Decode(corrupt, data.size(), {65536, true, false});
  const CodecParameters parameters{0, 65536, 0};
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, &parameters, 0, &context), kStatusOk);
  const std::vector<uint8_t>* const order[] = {&corrupt, &stream, &corrupt, &stream};
  for (const std::vector<uint8_t>* source : order) {
    std::vector<uint8_t> out(data.size());
    size_t size = out.size();
    const int32_t status = Decompress(context, out.data(), &size, source->data(), source->size());
    out.resize(size);
    EXPECT_EQ(status, source == &corrupt ? inWindow.status : kStatusOk);
    EXPECT_TRUE(out == (source == &corrupt ? inWindow.bytes : data)) << (source == &corrupt ? "corrupt" : "intact");
  }
  DestroyDecompressionContext(context);
}

// An offset of 0 mod W (from an uncompressed block's header) leaves the window's bytes as they
// are: before the stream has written them they read as zeros, whatever the heap left there.
TEST(WindowDecoder, InPlaceMatchReadsZerosWhereTheStreamHasNotWritten) {
  LzxWriter w;
  w.StreamHeader(0);
  w.UncompressedHeader(300, 0, 1, 1);
  const std::vector<uint8_t> raw(300, 'x');
  w.bits().PutRaw(raw);
  w.VerbatimHeader(20, w.FullMainLengths(), LzxWriter::FullLengthLengths());
  w.Match(20, 0);
  const std::vector<uint8_t> stream = FramedStream().Sized(320, w.TakeChunk()).WithTrailer();
  std::vector<uint8_t> expected = raw;
  expected.resize(320, 0);
  for (const uint32_t flags : {0u, ContinuousStream}) {
    const CodecParameters parameters{0, kTranslationWindowSize, 0};
    DecompressionContext* context = nullptr;
    ASSERT_EQ(CreateDecompressionContext(0, &parameters, flags, &context), kStatusOk);
    FillWindow(context, 0xEE);  // as a dirty heap block
    std::vector<uint8_t> out(320);
    size_t size = out.size();
    EXPECT_EQ(Decompress(context, out.data(), &size, stream.data(), stream.size()), kStatusOk);
    EXPECT_EQ(out, expected) << (flags ? "window" : "direct");
    DestroyDecompressionContext(context);
  }
}

// ---- The item table ----

// Every entry gives what the main and length fast tables give for its prefix: a literal, a match
// with its length, slot and footer width (less the aligned code's 3 bits in aligned blocks), or
// "unresolved" where a code does not fit in the prefix.
TEST(ItemTable, EveryEntryAgreesWithTheFastTables) {
  const CodecParameters parameters{0, kTranslationWindowSize, 0};
  DecompressionContext* context = nullptr;
  ASSERT_EQ(CreateDecompressionContext(0, &parameters, 0, &context), kStatusOk);
  LzxDecoder& d = context->decoder;
  MainTree& main = d.tables.main;
  LengthTree& length = d.tables.length;
  const unsigned mainSymbols = MainSymbolsForSlots(d.block.positionSlots);
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    const bool aligned = seed % 2 == 0;
    std::vector<uint8_t> mainLengths = RandomCompleteLengths(mainSymbols, seed % 3 ? mainSymbols : 40, seed);
    std::vector<uint8_t> lengthLengths =
        seed % 5 ? RandomCompleteLengths(kNumLengthSymbols, seed % 4 ? 249 : 6, seed + 100)
                 : std::vector<uint8_t>(kNumLengthSymbols, 0);  // empty
    if (seed == 7) std::fill(mainLengths.begin(), mainLengths.end(), 0);  // empty main code
    std::copy(mainLengths.begin(), mainLengths.end(), main.lengths);
    std::copy(lengthLengths.begin(), lengthLengths.end(), length.lengths);
    ASSERT_TRUE(BuildDecodeTables(mainSymbols, main.lengths, kMainFastBits, main.fast, kMainTableBits, main.table,
                                  main.overflow));
    ASSERT_TRUE(BuildDecodeTables(kNumLengthSymbols, length.lengths, kLengthFastBits, length.fast, kLengthTableBits,
                                  length.table, length.overflow));
    BuildItemTable(d.direct.items, d.tables, aligned);
    for (uint32_t prefix = 0; prefix < (1u << kMainFastBits); ++prefix) {
      const uint32_t item = d.direct.items[prefix];
      const uint16_t entry = main.fast[prefix];
      const unsigned l = entry >> kFastLengthShift;
      const unsigned symbol = entry & kFastSymbolMask;
      uint32_t expected = kItemUnresolved;
      if (!(entry & kFastTableSlow) && symbol < kNumChars) {
        expected = l | symbol << kItemValueShift;
      } else if (!(entry & kFastTableSlow)) {
        const unsigned header = (symbol - kNumChars) & 7, slot = (symbol - kNumChars) >> 3;
        unsigned footer = d.tables.extraBits[slot];
        uint32_t match = kItemMatch | slot << kItemValueShift;
        if (aligned && footer >= 3) {
          footer -= 3;
          match |= kItemAligned;
        }
        match |= footer << kItemFooterShift;
        if (header < 7) {
          expected = match | (l + footer) | (header + 2) << kItemLengthShift;
        } else {
          const uint16_t lengthEntry = length.fast[((prefix << l) & 0xFFF) >> 2];
          const unsigned k = lengthEntry >> kFastLengthShift;
          if (!(lengthEntry & kFastTableSlow) && k <= kMainFastBits - l) {
            expected = match | (l + k + footer) | (9 + (lengthEntry & kFastSymbolMask)) << kItemLengthShift;
          }
        }
      }
      ASSERT_EQ(item, expected) << "seed " << seed << " prefix " << prefix;
    }
  }
  DestroyDecompressionContext(context);
}

}  // namespace
}  // namespace vykcn::lzx::test

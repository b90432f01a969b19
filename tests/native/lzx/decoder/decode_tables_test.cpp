// Canonical decode tables: the fast lookup, the narrow table and its overflow trees past the fast
// width, and the rejection of codes that are not complete prefix codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "lzx/decoder/bit_writer.h"
#include "lzx/decoder/decode_tables.h"
#include "lzx/decoder/random_code.h"

namespace vykcn::lzx::test {
namespace {

// The widths the decoder builds each tree with.
struct Widths {
  unsigned fastBits;
  unsigned tableBits;
};
constexpr Widths kMain{kMainFastBits, kMainTableBits};
constexpr Widths kLength{kLengthFastBits, kLengthTableBits};
constexpr Widths kPretree{kPretreeFastBits, kPretreeTableBits};

// One tree's tables, filled with junk before they are built.
struct Tables {
  Widths widths;
  std::vector<uint8_t> lengths;
  std::vector<uint16_t> fast;
  std::vector<int16_t> table, overflow;

  Tables(std::vector<uint8_t> codeLengths, Widths w)
      : widths(w), lengths(std::move(codeLengths)), fast(size_t{1} << w.fastBits, 0x5A5A),
        table(size_t{1} << w.tableBits, 0x5A5A), overflow(4 * lengths.size(), 0x5A5A) {}

  bool Build() {
    return BuildDecodeTables(static_cast<unsigned>(lengths.size()), lengths.data(), widths.fastBits, fast.data(),
                             widths.tableBits, table.data(), overflow.data());
  }

  // Symbol and code length for the bits at the top of `buffer`, looked up as the decoder does.
  std::pair<int, unsigned> Lookup(uint32_t buffer) const {
    struct Head {
      uint32_t bits;
      uint32_t Top32() const { return bits; }
      uint32_t Peek(unsigned n) const { return bits >> (32 - n); }
    };
    const uint32_t entry = TreeEntry(Head{buffer}, fast.data(), widths.fastBits, table.data(), overflow.data(),
                                     widths.tableBits, lengths.data());
    return {static_cast<int>(entry & kFastSymbolMask), entry >> kFastLengthShift};
  }
};

// Every used symbol decodes from its canonical code, with its length, whatever bits follow it; and
// the fast table holds exactly the codes that fit it, every other entry marked slow.
void ExpectCanonicalTables(const std::vector<uint8_t>& lengths, Widths widths) {
  Tables t(lengths, widths);
  ASSERT_TRUE(t.Build());
  const CanonicalCode code(lengths);
  std::vector<uint16_t> expectedFast(t.fast.size(), kFastTableSlow);
  for (size_t s = 0; s < lengths.size(); ++s) {
    const unsigned length = lengths[s];
    if (length == 0) continue;
    for (uint32_t junk : {0u, 0xFFFFFFFFu, 0x9E3779B9u}) {
      const uint32_t buffer = code.codes[s] << (32 - length) | (junk >> length);
      ASSERT_EQ(t.Lookup(buffer), std::make_pair(static_cast<int>(s), length)) << "symbol " << s << " length " << length;
    }
    if (length <= widths.fastBits) {
      const uint32_t first = code.codes[s] << (widths.fastBits - length);
      std::fill_n(expectedFast.begin() + first, size_t{1} << (widths.fastBits - length),
                  static_cast<uint16_t>(s | length << kFastLengthShift));
    }
  }
  ASSERT_EQ(t.fast, expectedFast);
}

TEST(DecodeTable, EmptyCodeGivesSymbolZeroAndNoBitsEverywhere) {
  for (const auto& [symbols, widths] : {std::make_pair(544u, kMain), std::make_pair(249u, kLength),
                                        std::make_pair(20u, kPretree)}) {
    Tables t(std::vector<uint8_t>(symbols, 0), widths);
    ASSERT_TRUE(t.Build());
    for (uint16_t e : t.fast) ASSERT_EQ(e, 0);
  }
}

TEST(DecodeTable, IncompleteAndOversubscribedCodesFail) {
  const std::vector<std::vector<uint8_t>> cases = {
      {0, 0, 0, 1},        // one code of length 1: half the code space unused
      {1, 1, 1},           // three codes of length 1
      {1, 2},              // 3/4 used
      {1, 1, 2, 2, 2, 2},  // twice the code space
  };
  for (const auto& lengths : cases) {
    std::vector<uint8_t> padded = lengths;
    padded.resize(20, 0);
    Tables t(padded, kPretree);
    EXPECT_FALSE(t.Build()) << ::testing::PrintToString(lengths);
  }
}

TEST(DecodeTable, LengthAboveSixteenIsRejected) {
  std::vector<uint8_t> lengths(20, 0);
  lengths[0] = 1;
  lengths[1] = 17;
  Tables t(lengths, kPretree);
  EXPECT_FALSE(t.Build());
}

TEST(DecodeTable, ShortCodesFollowCanonicalOrder) {
  // Symbol 1 gets 0, symbol 0 gets 10, symbols 2 and 3 get 110 and 111.
  Tables t({2, 1, 3, 3}, kPretree);
  ASSERT_TRUE(t.Build());
  EXPECT_EQ(t.Lookup(0x00000000u), std::make_pair(1, 1u));
  EXPECT_EQ(t.Lookup(0x80000000u), std::make_pair(0, 2u));
  EXPECT_EQ(t.Lookup(0xC0000000u), std::make_pair(2, 3u));
  EXPECT_EQ(t.Lookup(0xE0000000u), std::make_pair(3, 3u));
}

TEST(DecodeTable, MainTreeOverflowBeyondTheFastWidth) {
  // Lengths 1, 2, ..., 15, 16, 16 on symbols counted down from the top: codes up to 16 bits.
  std::vector<uint8_t> lengths(544, 0);
  for (unsigned l = 1; l <= 16; ++l) lengths[543 - 30 * (l - 1)] = static_cast<uint8_t>(l);
  lengths[0] = 16;
  ExpectCanonicalTables(lengths, kMain);
  for (uint32_t seed = 1; seed <= 20; ++seed) ExpectCanonicalTables(RandomCompleteLengths(672, 672, seed), kMain);
}

TEST(DecodeTable, LengthTreeOverflowBeyondTheFastWidth) {
  for (uint32_t seed = 1; seed <= 20; ++seed) ExpectCanonicalTables(RandomCompleteLengths(249, 249, seed), kLength);
  for (uint32_t seed = 1; seed <= 5; ++seed) ExpectCanonicalTables(RandomCompleteLengths(249, 40, seed), kLength);
}

TEST(DecodeTable, PretreeSizes) {
  for (uint32_t seed = 1; seed <= 20; ++seed) ExpectCanonicalTables(RandomCompleteLengths(20, 20, seed), kPretree);
}

// Full and sparse main trees: the codes that fit the fast table fill it, the longer ones leave
// their prefixes slow.
TEST(FastTable, HoldsTheShortCodesAndMarksTheLongerOnesSlow) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    ExpectCanonicalTables(RandomCompleteLengths(544, seed % 2 ? 544 : 60, seed), kMain);
  }
}

TEST(AlignedTable, CompleteCodeDecodesAndEmptyCodeGivesZero) {
  const std::vector<uint8_t> lengths = {2, 2, 3, 3, 4, 4, 4, 4};
  uint8_t table[128];
  ASSERT_TRUE(BuildAlignedTable(lengths.data(), table));
  const CanonicalCode code(lengths);
  for (unsigned s = 0; s < 8; ++s) {
    const uint32_t index = code.codes[s] << (7 - lengths[s]);
    EXPECT_EQ(table[index], s);
  }
  const std::vector<uint8_t> zero(8, 0);
  std::memset(table, 0x77, sizeof(table));
  ASSERT_TRUE(BuildAlignedTable(zero.data(), table));
  for (uint8_t e : table) ASSERT_EQ(e, 0);
}

TEST(AlignedTable, IncompleteOrOversubscribedFails) {
  uint8_t table[128];
  const std::vector<uint8_t> incomplete = {1, 2, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(BuildAlignedTable(incomplete.data(), table));
  // Four codes of length 1: twice the code space, which wraps the 16-bit sum to 0.
  const std::vector<uint8_t> doubled = {1, 1, 1, 1, 0, 0, 0, 0};
  EXPECT_FALSE(BuildAlignedTable(doubled.data(), table));
  const std::vector<uint8_t> over = {1, 1, 1, 0, 0, 0, 0, 0};
  EXPECT_FALSE(BuildAlignedTable(over.data(), table));
}

// Unlike the other trees, the aligned tree takes a code over by a whole code space when no code
// runs past the table: the later symbols win the entries the earlier ones took.
TEST(AlignedTable, CodeOverByTheWholeSpaceTakesTheLaterSymbols) {
  const std::vector<uint8_t> lengths = {1, 1, 2, 2, 2, 2, 0, 0};
  uint8_t table[128];
  ASSERT_TRUE(BuildAlignedTable(lengths.data(), table));
  for (unsigned i = 0; i < 128; ++i) ASSERT_EQ(table[i], 2 + i / 32) << i;
}

}  // namespace
}  // namespace vykcn::lzx::test

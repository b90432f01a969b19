// Canonical decode tables: the direct lookup, the overflow trees past the lookup width, and the
// rejection of codes that are not complete prefix codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "lzx/decoder/bit_writer.h"
#include "lzx/decoder/lzx_bit_reader.h"
#include "lzx/decoder/lzx_decoder.h"

namespace vykcn::test {
namespace {

// Random complete code: split random leaves (depth < 16) until there are `leaves` of them, then
// give the depths to random symbols of the alphabet.
std::vector<uint8_t> RandomCompleteLengths(size_t alphabet, size_t leaves, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> depths = {0};
  while (depths.size() < leaves) {
    const size_t i = rng() % depths.size();
    if (depths[i] >= 16) continue;
    ++depths[i];
    depths.push_back(depths[i]);
  }
  std::vector<unsigned> symbols(alphabet);
  for (unsigned i = 0; i < alphabet; ++i) symbols[i] = i;
  std::shuffle(symbols.begin(), symbols.end(), rng);
  std::vector<uint8_t> lengths(alphabet, 0);
  for (size_t i = 0; i < leaves; ++i) lengths[symbols[i]] = depths[i];
  return lengths;
}

struct Tables {
  std::vector<int16_t> table, overflow;
  Tables(size_t symbols, unsigned bits) : table(size_t{1} << bits, 0x5A5A), overflow(4 * symbols, 0x5A5A) {}
};

// Every used symbol decodes from its canonical code, whatever bits follow it.
void ExpectEverySymbolDecodes(const std::vector<uint8_t>& lengths, unsigned bits) {
  Tables t(lengths.size(), bits);
  ASSERT_TRUE(BuildDecodeTable(static_cast<unsigned>(lengths.size()), lengths.data(), bits, t.table.data(),
                               t.overflow.data()));
  const CanonicalCode code(lengths);
  for (size_t s = 0; s < lengths.size(); ++s) {
    if (lengths[s] == 0) continue;
    for (uint32_t junk : {0u, 0xFFFFFFFFu, 0x9E3779B9u}) {
      const uint32_t buffer = code.codes[s] << (32 - lengths[s]) | (junk >> lengths[s]);
      ASSERT_EQ(DecodeSymbol(buffer, t.table.data(), t.overflow.data(), bits), static_cast<int>(s))
          << "symbol " << s << " length " << int{lengths[s]};
    }
  }
}

TEST(DecodeTable, AllZeroLengthsGiveSymbolZeroEverywhere) {
  const std::vector<uint8_t> lengths(544, 0);
  Tables t(544, 10);
  ASSERT_TRUE(BuildDecodeTable(544, lengths.data(), 10, t.table.data(), t.overflow.data()));
  for (int16_t e : t.table) ASSERT_EQ(e, 0);
}

TEST(DecodeTable, IncompleteAndOversubscribedCodesFail) {
  std::vector<uint8_t> lengths(20, 0);
  lengths[3] = 1;  // one code of length 1: half the code space unused
  Tables t(20, 8);
  EXPECT_FALSE(BuildDecodeTable(20, lengths.data(), 8, t.table.data(), t.overflow.data()));
  lengths = std::vector<uint8_t>(20, 0);
  lengths[0] = lengths[1] = lengths[2] = 1;  // three codes of length 1
  EXPECT_FALSE(BuildDecodeTable(20, lengths.data(), 8, t.table.data(), t.overflow.data()));
  lengths = std::vector<uint8_t>(20, 0);
  lengths[0] = 1;
  lengths[1] = 2;  // 3/4 used
  EXPECT_FALSE(BuildDecodeTable(20, lengths.data(), 8, t.table.data(), t.overflow.data()));
}

TEST(DecodeTable, LengthAboveSixteenIsRejected) {
  std::vector<uint8_t> lengths(20, 0);
  lengths[0] = 1;
  lengths[1] = 17;
  Tables t(20, 8);
  EXPECT_FALSE(BuildDecodeTable(20, lengths.data(), 8, t.table.data(), t.overflow.data()));
}

TEST(DecodeTable, ShortCodesFollowCanonicalOrder) {
  // Symbol 1 gets 0, symbol 0 gets 10, symbols 2 and 3 get 110 and 111.
  const std::vector<uint8_t> lengths = {2, 1, 3, 3};
  Tables t(4, 8);
  ASSERT_TRUE(BuildDecodeTable(4, lengths.data(), 8, t.table.data(), t.overflow.data()));
  EXPECT_EQ(DecodeSymbol(0x00000000u, t.table.data(), t.overflow.data(), 8), 1);
  EXPECT_EQ(DecodeSymbol(0x80000000u, t.table.data(), t.overflow.data(), 8), 0);
  EXPECT_EQ(DecodeSymbol(0xC0000000u, t.table.data(), t.overflow.data(), 8), 2);
  EXPECT_EQ(DecodeSymbol(0xE0000000u, t.table.data(), t.overflow.data(), 8), 3);
}

TEST(DecodeTable, MainTreeOverflowBeyondTenBits) {
  // Lengths 1, 2, ..., 15, 16, 16 on symbols counted down from the top: codes up to 16 bits.
  std::vector<uint8_t> lengths(544, 0);
  for (unsigned l = 1; l <= 16; ++l) lengths[543 - 30 * (l - 1)] = static_cast<uint8_t>(l);
  lengths[0] = 16;
  ExpectEverySymbolDecodes(lengths, 10);
  for (uint32_t seed = 1; seed <= 20; ++seed) ExpectEverySymbolDecodes(RandomCompleteLengths(672, 672, seed), 10);
}

TEST(DecodeTable, LengthTreeOverflowBeyondEightBits) {
  for (uint32_t seed = 1; seed <= 20; ++seed) ExpectEverySymbolDecodes(RandomCompleteLengths(249, 249, seed), 8);
  for (uint32_t seed = 1; seed <= 5; ++seed) ExpectEverySymbolDecodes(RandomCompleteLengths(249, 40, seed), 8);
}

TEST(DecodeTable, PretreeSizes) {
  for (uint32_t seed = 1; seed <= 20; ++seed) ExpectEverySymbolDecodes(RandomCompleteLengths(20, 20, seed), 8);
}

// The wide single-lookup table agrees with the 10-bit table and its overflow trees wherever it
// holds an entry, and defers exactly the codes longer than its width.
TEST(FastTable, AgreesWithTheCanonicalTable) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    const std::vector<uint8_t> lengths = RandomCompleteLengths(544, seed % 2 ? 544 : 60, seed);
    Tables t(544, 10);
    ASSERT_TRUE(BuildDecodeTable(544, lengths.data(), 10, t.table.data(), t.overflow.data()));
    std::vector<uint16_t> fast(1 << 12);
    BuildFastTable(544, lengths.data(), 12, fast.data());
    for (uint32_t i = 0; i < fast.size(); ++i) {
      const int symbol = DecodeSymbol(i << 20, t.table.data(), t.overflow.data(), 10);
      if (lengths[symbol] > 12) {
        ASSERT_EQ(fast[i], kFastTableSlow) << i;
      } else {
        ASSERT_EQ(fast[i], symbol | lengths[symbol] << 10) << i;
      }
    }
  }
  const std::vector<uint8_t> empty(249, 0);
  std::vector<uint16_t> fast(1 << 10, 0x1234);
  BuildFastTable(249, empty.data(), 10, fast.data());
  for (uint16_t e : fast) ASSERT_EQ(e, 0);
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

}  // namespace
}  // namespace vykcn::test

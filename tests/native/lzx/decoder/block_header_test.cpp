// Code lengths sent through the pretree: deltas against the previous tree, the zero runs 17 and
// 18, the same-value run 19, and the reading of the aligned tree.
#include <gtest/gtest.h>

#include "lzx/decoder/decoder_fixture.h"
#include "lzx/decoder/stream_writer.h"
#include "lzx/decoder/block_header.h"

namespace vykcn::lzx::test {
namespace {

class CodeLengths : public DecoderFixture {
 protected:
  // Fixed pretree of the stream writer: 12 codes of 4 bits, 8 of 5 bits.
  CanonicalCode pretree{std::vector<uint8_t>{4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5}};
  BitWriter out;

  void PutPretreeLengths() {
    for (uint8_t l : pretree.lengths) out.PutBits(l, 4);
  }
  bool Read(unsigned count, const std::vector<uint8_t>& previous, std::vector<uint8_t>& current) {
    out.Flush();
    SetInput(out.bytes());
    return ReadCodeLengths(decoder().bits, count, previous.data(), current.data());
  }
};

TEST_F(CodeLengths, DeltasAreModuloSeventeen) {
  PutPretreeLengths();
  const std::vector<uint8_t> previous = {0, 5, 16, 3};
  const std::vector<uint8_t> wanted = {16, 5, 0, 4};
  for (size_t i = 0; i < 4; ++i) pretree.Put(out, (previous[i] + 17 - wanted[i]) % 17);
  std::vector<uint8_t> current(4, 99);
  ASSERT_TRUE(Read(4, previous, current));
  EXPECT_EQ(current, wanted);
}

TEST_F(CodeLengths, ZeroRunsSeventeenAndEighteen) {
  PutPretreeLengths();
  pretree.Put(out, 17);
  out.PutBits(3, 4);  // 7 zeros
  pretree.Put(out, 18);
  out.PutBits(5, 5);  // 25 zeros
  pretree.Put(out, 16);  // previous 0 -> 1
  const std::vector<uint8_t> previous(33, 0);
  std::vector<uint8_t> current(33, 99);
  ASSERT_TRUE(Read(33, previous, current));
  std::vector<uint8_t> expected(33, 0);
  expected[32] = 1;
  EXPECT_EQ(current, expected);
}

TEST_F(CodeLengths, RunIsClippedAtTheCount) {
  PutPretreeLengths();
  for (int i = 0; i < 240; ++i) pretree.Put(out, 0);  // lengths stay as before (4)
  pretree.Put(out, 18);
  out.PutBits(31, 5);  // 51 zeros asked for at position 240 of 256: 16 written
  const std::vector<uint8_t> previous(256, 4);
  std::vector<uint8_t> current(300, 99);
  ASSERT_TRUE(Read(256, previous, current));
  for (int i = 0; i < 240; ++i) ASSERT_EQ(current[i], 4);
  for (int i = 240; i < 256; ++i) ASSERT_EQ(current[i], 0);
  for (int i = 256; i < 300; ++i) ASSERT_EQ(current[i], 99) << "written past the count at " << i;
}

TEST_F(CodeLengths, RunNineteenTakesItsValueFromTheFirstPosition) {
  PutPretreeLengths();
  pretree.Put(out, 19);
  out.PutBits(1, 1);     // 5 entries
  pretree.Put(out, 15);  // previous[0] = 9 -> 9 - 15 + 17 = 11, for all five
  const std::vector<uint8_t> previous = {9, 1, 2, 3, 4};
  std::vector<uint8_t> current(5, 0);
  ASSERT_TRUE(Read(5, previous, current));
  EXPECT_EQ(current, std::vector<uint8_t>(5, 11));
}

TEST_F(CodeLengths, RunNineteenWithSecondSymbolEighteenOnZeroFails) {
  // 0 - 18 + 17 = -1: no such code length may reach a table.
  PutPretreeLengths();
  pretree.Put(out, 19);
  out.PutBits(0, 1);
  pretree.Put(out, 18);
  const std::vector<uint8_t> previous(4, 0);
  std::vector<uint8_t> current(4, 7);
  EXPECT_FALSE(Read(4, previous, current));
  for (uint8_t l : current) EXPECT_LE(l, 16);
}

TEST_F(CodeLengths, RunNineteenWithSecondSymbolSeventeenKeepsThePreviousLength) {
  PutPretreeLengths();
  pretree.Put(out, 19);
  out.PutBits(0, 1);
  pretree.Put(out, 17);  // 3 - 17 + 17 = 3
  const std::vector<uint8_t> previous(4, 3);
  std::vector<uint8_t> current(4, 0);
  ASSERT_TRUE(Read(4, previous, current));
  EXPECT_EQ(current, std::vector<uint8_t>(4, 3));
}

TEST_F(CodeLengths, IncompletePretreeFails) {
  out.PutBits(1, 4);  // one code of length 1, the rest 0
  for (int i = 1; i < 20; ++i) out.PutBits(0, 4);
  std::vector<uint8_t> previous(8, 0), current(8, 0);
  EXPECT_FALSE(Read(8, previous, current));
}

TEST_F(CodeLengths, OverrunInRunBitsWritesTheRunThenFails) {
  PutPretreeLengths();                  // 80 bits
  pretree.Put(out, 0);                  // 84
  pretree.Put(out, 0);                  // 88
  pretree.Put(out, 18);                 // 93
  out.PutBits(2, 5);                    // 98: 22 zeros; the refill while consuming these bits is due
  out.PutBits(0xFFFF, 16);
  out.Flush();
  SetInput(out.bytes());
  decoder().bits.inputEnd = decoder().bits.chunkData + 14;  // the reader's last word is bytes 12..13
  const std::vector<uint8_t> previous(40, 5);
  std::vector<uint8_t> current(40, 99);
  EXPECT_FALSE(ReadCodeLengths(decoder().bits, 40, previous.data(), current.data()));
  EXPECT_EQ(decoder().bits.inputOverrun, 1);
  EXPECT_EQ(current[0], 5);
  EXPECT_EQ(current[1], 5);
  for (int i = 2; i < 24; ++i) EXPECT_EQ(current[i], 0) << i;
  EXPECT_EQ(current[24], 99);
}

TEST_F(CodeLengths, AlignedTreeIsEightThreeBitLengths) {
  const std::vector<uint8_t> lengths = {3, 3, 3, 3, 3, 3, 3, 3};
  for (uint8_t l : lengths) out.PutBits(l, 3);
  out.Flush();
  SetInput(out.bytes());
  const AlignedTree& aligned = decoder().tables.aligned;
  ASSERT_TRUE(ReadAlignedTree(decoder().bits, decoder().tables.aligned));
  EXPECT_EQ(std::vector<uint8_t>(aligned.lengths, aligned.lengths + 8), lengths);
  for (unsigned i = 0; i < 128; ++i) ASSERT_EQ(aligned.table[i], i >> 4);
}

TEST_F(CodeLengths, AlignedTreeOverrunFails) {
  out.PutBits(3, 3);
  out.Flush();
  SetInput(out.bytes());
  decoder().bits.inputEnd = decoder().bits.inputCursor;  // nothing more to load after priming
  EXPECT_FALSE(ReadAlignedTree(decoder().bits, decoder().tables.aligned));
}

}  // namespace
}  // namespace vykcn::lzx::test

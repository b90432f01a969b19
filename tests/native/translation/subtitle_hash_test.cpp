#include "translation/subtitle_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace vykcn {
namespace {

TEST(SubtitleHash, WorkedValues) {
  EXPECT_EQ(SubtitleHash(""), 0u);
  EXPECT_EQ(SubtitleHash("abc"), 0x001998F2u);
  EXPECT_EQ(SubtitleHash("\xE9"), 0xFFFFFFE9u);  // high bytes count negative
}

TEST(SubtitleHash, WrapsModulo2To32AndAgreesWithTheByteForm) {
  // Long enough to overflow many times; computed independently in 64 bits.
  const std::string text = "\xE4\xB8\xAD\xE6\x96\x87 subtitle with \x80\xFF bytes and a long tail";
  uint64_t expected = 0;
  for (unsigned char c : text) expected = (expected * 131 + static_cast<int64_t>(static_cast<signed char>(c))) & 0xFFFFFFFFu;
  EXPECT_EQ(SubtitleHash(text.c_str()), expected);
  EXPECT_EQ(SubtitleHashBytes(text.data(), text.size()), expected);
  // A prefix hash is the same rule over the first k bytes.
  EXPECT_EQ(SubtitleHashBytes(text.data(), 3), SubtitleHash(text.substr(0, 3).c_str()));
}

}  // namespace
}  // namespace vykcn

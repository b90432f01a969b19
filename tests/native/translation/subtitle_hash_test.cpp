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

TEST(SubtitleHash, EveryLengthAgreesWithTheRuleComputedIn64Bits) {
  // Long enough to overflow many times, with high bytes; every prefix length, so that the
  // four-byte steps and the byte-wise tail meet at every offset.
  const std::string text = "\xE4\xB8\xAD\xE6\x96\x87 subtitle with \x80\xFF bytes and a long tail";
  uint64_t expected = 0;
  for (size_t length = 0; length <= text.size(); ++length) {
    if (length > 0) {
      expected = (expected * 131 + static_cast<int64_t>(static_cast<signed char>(text[length - 1]))) & 0xFFFFFFFFu;
    }
    const std::string prefix = text.substr(0, length);
    EXPECT_EQ(SubtitleHashBytes(text.data(), length), expected) << length;
    EXPECT_EQ(SubtitleHash(prefix.c_str()), expected) << length;
    EXPECT_EQ(SubtitleHashContinue(SubtitleHashBytes(text.data(), length / 3), text.data() + length / 3,
                                   length - length / 3),
              expected)
        << length;
  }
}

}  // namespace
}  // namespace vykcn

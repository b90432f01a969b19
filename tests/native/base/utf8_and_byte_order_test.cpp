// The helpers every format and reader share: strict UTF-8 decoding and unaligned byte order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/byte_order.h"
#include "base/utf8.h"

namespace vykcn {
namespace {

TEST(Utf8, AcceptsWellFormedAndRejectsEveryMalformedShape) {
  struct Case {
    std::string text;
    bool valid;
    std::vector<uint32_t> codePoints;  // when valid
  };
  const Case cases[] = {
      {"", true, {}},
      {"a\xC3\xA9\xE4\xBD\xA0\xF0\x9F\x98\x80", true, {'a', 0xE9, 0x4F60, 0x1F600}},
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true, {0xFFFF, 0x10FFFF}},
      {"\xC0\xAF", false, {}},          // overlong '/'
      {"\xE0\x80\xAF", false, {}},      // overlong, three bytes
      {"\xED\xA0\x80", false, {}},      // surrogate
      {"\xF4\x90\x80\x80", false, {}},  // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", false, {}},  // five-byte form
      {"\xE4\xBD", false, {}},          // cut short
      {"\x80", false, {}},              // stray continuation
      {"a\xC3", false, {}},             // cut short after a good character
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> decoded;
    EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
    EXPECT_EQ(DecodeUtf8(c.text, &decoded), c.valid) << c.text;
    if (c.valid) EXPECT_EQ(decoded, c.codePoints) << c.text;
  }
}

TEST(Utf8, CharacterStepLeavesThePositionOnFailure) {
  const std::string text = "\xE4\xBD\xA0\xE4\xBD";
  size_t at = 0;
  uint32_t codePoint = 0;
  ASSERT_TRUE(DecodeUtf8Char(text, &at, &codePoint));
  EXPECT_EQ(at, 3u);
  EXPECT_EQ(codePoint, 0x4F60u);
  EXPECT_FALSE(DecodeUtf8Char(text, &at, &codePoint));
  EXPECT_EQ(at, 3u);
  at = text.size();
  EXPECT_FALSE(DecodeUtf8Char(text, &at, &codePoint));
}

TEST(ByteOrder, RoundTripsAtUnalignedAddresses) {
  uint8_t bytes[11] = {};
  WriteU32LE(bytes + 1, 0x11223344u);
  WriteU16LE(bytes + 5, 0xA1B2u);
  WriteU16BE(bytes + 7, 0xC3D4u);
  EXPECT_EQ(bytes[1], 0x44);
  EXPECT_EQ(bytes[4], 0x11);
  EXPECT_EQ(bytes[5], 0xB2);
  EXPECT_EQ(bytes[7], 0xC3);
  EXPECT_EQ(ReadU32LE(bytes + 1), 0x11223344u);
  EXPECT_EQ(ReadU16LE(bytes + 5), 0xA1B2u);
  EXPECT_EQ(ReadU16BE(bytes + 7), 0xC3D4u);
  WriteF32LE(bytes + 3, -1.5f);
  EXPECT_EQ(ReadU32LE(bytes + 3), 0xBFC00000u);
  EXPECT_EQ(ReadF32LE(bytes + 3), -1.5f);
}

}  // namespace
}  // namespace vykcn

// The helpers every format and reader share: strict UTF-8 decoding, unaligned byte order and the
// search for a text's 0 byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "base/utf8.h"
#include "base/zero_byte.h"

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

// Against memchr, for every bound up to 20 bytes and every place of the first 0 (or none), among
// bytes that trip a word-wise test (0x01 and 0x80 next to a 0, whose borrow sets high bits above
// it). Each buffer is exactly `size` bytes, so a read past it shows under ASan.
TEST(ZeroByte, FindsTheFirstZeroWithinTheBoundOnly) {
  const uint8_t fill[] = {0x01, 0x80, 0xFF, 0x7F, 'a'};
  for (size_t size = 0; size <= 20; ++size) {
    for (size_t zeroAt = 0; zeroAt <= size; ++zeroAt) {  // zeroAt == size: no 0 byte
      std::vector<uint8_t> bytes(size);
      for (size_t i = 0; i < size; ++i) bytes[i] = fill[(i + zeroAt) % 5];
      if (zeroAt < size) bytes[zeroAt] = 0;
      if (zeroAt + 3 < size) bytes[zeroAt + 3] = 0;  // a second 0 must not win
      for (size_t bound = 0; bound <= size; ++bound) {
        // data() of an empty vector may be null, which memchr must not be given.
        const void* expected = bound != 0 ? std::memchr(bytes.data(), 0, bound) : nullptr;
        EXPECT_EQ(FindZeroByte(bytes.data(), bound), expected) << size << " " << zeroAt << " " << bound;
      }
    }
  }
}

}  // namespace
}  // namespace vykcn

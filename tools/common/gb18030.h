#pragma once
// What GB18030 adds to GBK, which the platform decodes: the two-byte codes whose meaning differs,
// and the four-byte codes. Windows lacks the charset where Wine rejects its code page 54936, so
// the toolkit decodes it itself on every platform: one meaning everywhere.
#include <cstdint>

namespace vykcn::tool {

// The character of a two-byte code that GB18030 defines where GBK has none (GB18030's own
// characters and the vertical forms); false for every other code.
bool Gb18030TwoByteAddition(uint16_t code, uint32_t* codePoint);

// The character of the four-byte code b1 b2 b3 b4 (b1, b3 in 0x81..0xFE, b2, b4 in 0x30..0x39);
// false for a code that encodes none.
bool Gb18030FourByteCode(const uint8_t bytes[4], uint32_t* codePoint);

}  // namespace vykcn::tool

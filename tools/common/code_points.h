#pragma once
// Characters as the toolkit's messages name them.
#include <cstdint>
#include <string>

namespace vykcn::tool {

// "U+4E2D" style, at least four hex digits.
std::string FormatCodePoint(uint32_t codePoint);

// The character's UTF-8 bytes.
std::string EncodeUtf8(uint32_t codePoint);

// "U+4E2D 中": the code and, when it is a visible character, the character itself.
std::string NamedCharacter(uint32_t codePoint);

}  // namespace vykcn::tool

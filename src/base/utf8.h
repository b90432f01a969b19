#pragma once
// UTF-8 decoding, strict: no overlong forms, no surrogates, nothing above U+10FFFF.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vykcn {

// Decodes the character that starts at text[*at] into *codePoint and advances *at past it.
// False (with *at unchanged) when the bytes there are not a well-formed UTF-8 character.
bool DecodeUtf8Char(std::string_view text, size_t* at, uint32_t* codePoint);

// Decodes the whole text into code points; false on the first malformed character.
bool DecodeUtf8(std::string_view text, std::vector<uint32_t>* codePoints);

bool IsValidUtf8(std::string_view text);

}  // namespace vykcn

#include "base/utf8.h"

namespace vykcn {

bool DecodeUtf8Char(std::string_view text, size_t* at, uint32_t* codePoint) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + *at;
  const size_t available = text.size() - *at;
  if (available == 0) return false;
  const unsigned lead = p[0];
  if (lead < 0x80) {
    *codePoint = lead;
    *at += 1;
    return true;
  }
  size_t extra;
  uint32_t cp, minimum;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return false;  // a continuation byte or 0xF8..0xFF cannot start a character
  }
  if (available - 1 < extra) return false;
  for (size_t i = 1; i <= extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return false;
    cp = cp << 6 | (p[i] & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  *codePoint = cp;
  *at += extra + 1;
  return true;
}

bool DecodeUtf8(std::string_view text, std::vector<uint32_t>* codePoints) {
  codePoints->clear();
  size_t at = 0;
  uint32_t codePoint;
  while (at < text.size()) {
    if (!DecodeUtf8Char(text, &at, &codePoint)) return false;
    codePoints->push_back(codePoint);
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  size_t at = 0;
  uint32_t codePoint;
  while (at < text.size()) {
    if (!DecodeUtf8Char(text, &at, &codePoint)) return false;
  }
  return true;
}

}  // namespace vykcn

#include "glyph_charset.h"

#include <cstdio>
#include <set>

#include "commands.h"

namespace vykcn::tool {

bool DecodeUtf8(const std::string& text, std::vector<uint32_t>* codePoints) {
  codePoints->clear();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned lead = *p++;
    if (lead < 0x80) {
      codePoints->push_back(lead);
      continue;
    }
    int extra;
    uint32_t cp, minimum;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      return false;
    }
    if (end - p < extra) return false;
    for (int i = 0; i < extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = cp << 6 | (p[i] & 0x3F);
    }
    p += extra;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    codePoints->push_back(cp);
  }
  return true;
}

std::string FormatCodePoint(uint32_t codePoint) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(codePoint));
  return buffer;
}

GlyphCharset BuildGlyphCharset(const std::vector<std::string>& texts) {
  std::set<uint32_t> used;
  for (uint32_t c = 0x20; c <= 0x7F; ++c) used.insert(c);
  std::vector<uint32_t> codePoints;
  for (const std::string& text : texts) {
    if (!DecodeUtf8(text, &codePoints)) throw CommandError("translation is not valid UTF-8: \"" + text + "\"");
    for (uint32_t c : codePoints) {
      if (c != 0x09 && c != 0x0A) used.insert(c);
    }
  }
  GlyphCharset charset;
  for (uint32_t c : used) {
    if (c > 0xFFFF) {
      charset.unsupported.push_back(c);
    } else {
      charset.codes.push_back(static_cast<uint16_t>(c));
    }
  }
  return charset;
}

}  // namespace vykcn::tool

#include "font_building/glyph_charset.h"

#include <set>

#include "base/utf8.h"
#include "common/command_error.h"

namespace vykcn::tool {

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

const std::vector<uint16_t>& LatinExtras() {
  static const std::vector<uint16_t> extras = [] {
    std::vector<uint16_t> codes;
    for (uint16_t c = 0xA0; c <= 0xFF; ++c) codes.push_back(c);
    for (uint16_t c : {0x0152, 0x0153, 0x0178, 0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E, 0x2022,
                       0x2026, 0x20AC, 0x2122}) {
      codes.push_back(c);
    }
    return codes;
  }();
  return extras;
}

}  // namespace vykcn::tool

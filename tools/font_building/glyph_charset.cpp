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

}  // namespace vykcn::tool

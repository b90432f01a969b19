#include "live/glyph_set.h"

#include <algorithm>

#include "base/utf8.h"
#include "formats/glyph_table.h"

namespace vykcn {
namespace {
constexpr size_t kCodesNamed = 4;  // of one record's missing characters
}

GlyphSet::GlyphSet(const uint8_t* table, size_t size) {
  for (const GlyphRecord& record : ParseGlyphTable(table, size)) {
    size_ += !Draws(record.code);
    drawn_[record.code >> 6] |= uint64_t{1} << (record.code & 63);
  }
}

std::vector<uint32_t> GlyphSet::Missing(std::string_view text, size_t most) const {
  std::vector<uint32_t> missing;
  for (size_t at = 0; at < text.size() && missing.size() < most;) {
    uint32_t code = 0;
    if (!DecodeUtf8Char(text, &at, &code)) {
      code = 0xFFFD;
      ++at;
    }
    if (code < 0x20 || Draws(code)) continue;
    if (std::find(missing.begin(), missing.end(), code) == missing.end()) missing.push_back(code);
  }
  return missing;
}

std::vector<MissingGlyphs> FindMissingGlyphs(const LiveIndex& index, const GlyphSet& glyphs) {
  std::vector<MissingGlyphs> found;
  index.ForEach([&](uint32_t hash, const char* text) {
    std::vector<uint32_t> codes = glyphs.Missing(text, kCodesNamed);
    if (!codes.empty()) found.push_back({hash, text, std::move(codes)});
  });
  std::sort(found.begin(), found.end(), [](const MissingGlyphs& a, const MissingGlyphs& b) { return a.hash < b.hash; });
  return found;
}

}  // namespace vykcn

#include "frequent_ideographs.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/utf8.h"
#include "catalogue_corpus.h"
#include "font_building/font_rasterizer.h"

namespace vykcn::bench {

std::vector<uint16_t> FrequentIdeographs(const std::string& catalogueDirectory, const std::string& font,
                                         size_t count) {
  constexpr uint32_t kFirst = 0x4E00, kLast = 0x9FFF;
  std::map<uint32_t, size_t> uses;
  for (const tool::TextEntry& entry : CatalogueEntries(catalogueDirectory, SIZE_MAX)) {
    std::vector<uint32_t> codePoints;
    if (!DecodeUtf8(entry.translation, &codePoints)) continue;
    for (uint32_t c : codePoints) {
      if (c >= kFirst && c <= kLast) ++uses[c];
    }
  }
  std::vector<std::pair<size_t, uint32_t>> byUse;
  for (const auto& [c, n] : uses) byUse.push_back({n, c});
  std::stable_sort(byUse.begin(), byUse.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

  tool::FontRasterizer rasterizer(font);
  std::vector<uint16_t> chosen;
  std::set<uint32_t> taken;
  for (const auto& [n, c] : byUse) {
    if (chosen.size() == count) break;
    if (rasterizer.HasGlyph(c)) {
      chosen.push_back(static_cast<uint16_t>(c));
      taken.insert(c);
    }
  }
  for (uint32_t c = kFirst; c <= kLast && chosen.size() < count; ++c) {
    if (!taken.count(c) && rasterizer.HasGlyph(c)) chosen.push_back(static_cast<uint16_t>(c));
  }
  return chosen;
}

}  // namespace vykcn::bench

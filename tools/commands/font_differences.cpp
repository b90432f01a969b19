#include "commands/font_differences.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "common/code_points.h"

namespace vykcn::tool {
namespace {

// The alpha of the atlas rectangle a record addresses (its texels, clamped to the atlas), row by row.
struct GlyphAlpha {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> alpha;
  bool operator==(const GlyphAlpha& other) const {
    return width == other.width && height == other.height && alpha == other.alpha;
  }
};

int Texel(float coordinate, int size) {
  const double texel = std::round(double(coordinate) * size);
  return static_cast<int>(std::clamp(std::isfinite(texel) ? texel : 0.0, 0.0, double(size)));
}

GlyphAlpha AlphaOf(const GlyphRecord& record, const AtlasImage& atlas) {
  const int left = Texel(record.uLeft, atlas.size.width), right = Texel(record.uRight, atlas.size.width);
  const int top = Texel(record.vTop, atlas.size.height), bottom = Texel(record.vBottom, atlas.size.height);
  GlyphAlpha glyph;
  glyph.width = std::max(0, right - left);
  glyph.height = std::max(0, bottom - top);
  glyph.alpha.reserve(size_t(glyph.width) * glyph.height);
  for (int y = top; y < top + glyph.height; ++y) {
    for (int x = left; x < left + glyph.width; ++x) {
      glyph.alpha.push_back(atlas.rgba[(size_t(y) * atlas.size.width + x) * 4 + 3]);
    }
  }
  return glyph;
}

// "height 16 -> 21, advance 14 -> 18": the metrics that differ, in the record's order.
std::string MetricChanges(const GlyphRecord& before, const GlyphRecord& after) {
  const struct {
    const char* name;
    int was, now;
  } fields[] = {
      {"offsetX", before.offsetX, after.offsetX}, {"offsetY", before.offsetY, after.offsetY},
      {"advance", before.advance, after.advance}, {"width", before.width, after.width},
      {"height", before.height, after.height},
  };
  std::string changes;
  for (const auto& field : fields) {
    if (field.was == field.now) continue;
    changes += std::string(changes.empty() ? "" : ", ") + field.name + " " + std::to_string(field.was) + " -> " +
               std::to_string(field.now);
  }
  return changes;
}

}  // namespace

bool PrintFontDifferences(const ComparedFont& before, const ComparedFont& after) {
  std::map<uint16_t, const GlyphRecord*> old, now;
  for (const GlyphRecord& record : before.glyphs) old.emplace(record.code, &record);
  for (const GlyphRecord& record : after.glyphs) now.emplace(record.code, &record);
  size_t added = 0, removed = 0, changed = 0, same = 0, redrawn = 0, kept = 0;
  for (const auto& [code, record] : old) {
    if (now.count(code) != 0) continue;
    std::printf("- %s\n", NamedCharacter(code).c_str());
    ++removed;
  }
  for (const auto& [code, record] : now) {
    const auto earlier = old.find(code);
    if (earlier == old.end()) {
      std::printf("+ %s\n", NamedCharacter(code).c_str());
      ++added;
      continue;
    }
    const std::string metrics = MetricChanges(*earlier->second, *record);
    const bool drawnDifferently = !(AlphaOf(*earlier->second, before.atlas) == AlphaOf(*record, after.atlas));
    ++(metrics.empty() ? same : changed);
    ++(drawnDifferently ? redrawn : kept);
    if (metrics.empty() && !drawnDifferently) continue;
    std::printf("~ %s: %s%s%s\n", NamedCharacter(code).c_str(), metrics.c_str(),
                metrics.empty() || !drawnDifferently ? "" : "; ", drawnDifferently ? "drawn differently" : "");
  }
  std::printf("glyphs: %zu added, %zu removed, %zu changed, %zu unchanged\n", added, removed, changed, same);
  const bool resized = !(before.atlas.size == after.atlas.size);
  std::printf("atlas: %s%zu glyphs changed, %zu unchanged\n",
              resized ? (DescribeAtlasSize(before.atlas.size) + " -> " + DescribeAtlasSize(after.atlas.size) + ", ")
                            .c_str()
                      : "",
              redrawn, kept);
  return added + removed + changed + redrawn > 0 || resized;
}

}  // namespace vykcn::tool

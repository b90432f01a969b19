// How many distinct CJK ideographs (besides ASCII) the atlas holds at a given 'M' height, for the
// documented 2048 x 1024 atlas and the larger 4096 x 2048, against the bound that area alone sets;
// and whether the documented table's shape (2039 glyphs, 1925 of them ideographs) fits at 24 px.
// The ideographs are the catalogues' most frequent, topped up with the font's others.
//
//   atlas_capacity_bench [--font FONT]
//   atlas_capacity_bench --write-po DIR [--count N] [--font FONT]
//       writes DIR/ideographs-N.po: translations that use N distinct ideographs (default 5000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/command_error.h"
#include "font_building/atlas_packer.h"
#include "font_building/font_pack.h"
#include "font_building/font_rasterizer.h"
#include "frequent_ideographs.h"

using namespace vykcn;
using namespace vykcn::tool;

namespace {

constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
constexpr const char* kCatalogues = "/usr/share/locale/zh_CN/LC_MESSAGES";
// The documented table's characters beyond ASCII that are not ideographs.
constexpr uint16_t kPunctuation[] = {0x00B7, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2026, 0x3001, 0x3002,
                                     0x300A, 0x300B, 0xFF01, 0xFF08, 0xFF09, 0xFF0C, 0xFF1A, 0xFF1B, 0xFF1F};

// Rectangle sizes as pack-font makes them: trimmed to the ink, at least 1 x 1.
RectSize SizeOf(const RasterGlyph& glyph) {
  return glyph.width == 0 || glyph.height == 0 ? RectSize{1, 1} : RectSize{glyph.width, glyph.height};
}

size_t BoxArea(RectSize size) { return size_t(size.width + kAtlasGlyphGap) * (size.height + kAtlasGlyphGap); }

bool Fits(const std::vector<RectSize>& fixed, const std::vector<RectSize>& ideographs, size_t count, AtlasSize atlas) {
  std::vector<RectSize> sizes = fixed;
  sizes.insert(sizes.end(), ideographs.begin(), ideographs.begin() + static_cast<long>(count));
  const auto places = PackRectangles(sizes, atlas.width, atlas.height, kAtlasGlyphGap);
  return std::all_of(places.begin(), places.end(), [](const RectPlacement& p) { return p.placed; });
}

// The largest count of leading ideographs that fit with the fixed glyphs; packing success is
// nearly monotonic in the count, and the search takes the boundary it finds.
size_t Capacity(const std::vector<RectSize>& fixed, const std::vector<RectSize>& ideographs, AtlasSize atlas) {
  size_t low = 0, high = ideographs.size();
  if (Fits(fixed, ideographs, high, atlas)) return high;
  while (high - low > 1) {
    const size_t middle = (low + high) / 2;
    (Fits(fixed, ideographs, middle, atlas) ? low : high) = middle;
  }
  return low;
}

int RunTable(const std::string& font, const std::vector<uint16_t>& ideographs) {
  FontRasterizer rasterizer(font);
  std::printf("%zu candidate ideographs (catalogues' most frequent first); font %s\n\n", ideographs.size(),
              font.c_str());
  std::printf("%-12s %5s %11s %10s %10s %7s\n", "atlas", "'M'", "ideograph", "fit", "area bound", "share");
  for (AtlasSize atlas : {AtlasSize{2048, 1024}, AtlasSize{4096, 2048}}) {
    for (int rows : {25, 24, 22, 20, 18, 16, 14}) {
      rasterizer.SizeForReferenceHeight('M', rows);
      std::vector<RectSize> fixed, sizes;
      size_t fixedArea = 0;
      for (uint16_t c = 0x20; c <= 0x7F; ++c) {
        fixed.push_back(SizeOf(rasterizer.Render(c == 0x7F ? 0x20 : c)));
        fixedArea += BoxArea(fixed.back());
      }
      for (uint16_t c : ideographs) {
        sizes.push_back(SizeOf(rasterizer.Render(c)));
      }
      // The most leading ideographs whose boxes, with ASCII's, cover no more texels than the atlas has.
      size_t bound = 0, covered = fixedArea;
      const size_t texels = size_t(atlas.width + kAtlasGlyphGap) * (atlas.height + kAtlasGlyphGap);
      while (bound < sizes.size() && covered + BoxArea(sizes[bound]) <= texels) covered += BoxArea(sizes[bound++]);
      const RectSize typical = SizeOf(rasterizer.Render(0x4E2D));
      const size_t fit = Capacity(fixed, sizes, atlas);
      const std::string boundText = bound == sizes.size() ? ">=" + std::to_string(bound) : std::to_string(bound);
      std::printf("%-12s %5d %7d x %-2d %10zu %10s %6.1f%%\n", (std::to_string(atlas.width) + " x " + std::to_string(atlas.height)).c_str(),
                  rows, typical.width, typical.height, fit, boundText.c_str(), 100.0 * double(fit) / double(bound));
      if (rows == 24 && atlas.width == 2048) {
        // The documented table's shape: ASCII, 18 punctuation marks and 1925 ideographs.
        std::vector<RectSize> documented = fixed;
        for (uint16_t c : kPunctuation) documented.push_back(SizeOf(rasterizer.Render(c)));
        const bool fits = Fits(documented, sizes, std::min<size_t>(1925, sizes.size()), atlas);
        std::printf("%-12s %5d   2039 glyphs, 1925 of them ideographs: %s\n", "", rows, fits ? "fit" : "DO NOT FIT");
      }
    }
  }
  std::printf("\nfit: the most leading ideographs that fit with ASCII; area bound: the most leading ideographs whose\n"
              "boxes, with one-texel borders and beside ASCII's, cover no more texels than the atlas; share: fit / bound\n");
  return 0;
}

// Ideographs lie in U+0800 to U+FFFF: three bytes each.
void AppendUtf8(std::string* text, uint16_t c) {
  *text += static_cast<char>(0xE0 | (c >> 12));
  *text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  *text += static_cast<char>(0x80 | (c & 0x3F));
}

// Lines of 20 ideographs each, every ideograph used once, host texts "Line 1", "Line 2", ...
int WritePo(const std::string& directory, const std::vector<uint16_t>& ideographs) {
  std::filesystem::create_directories(directory);
  const std::string path = directory + "/ideographs-" + std::to_string(ideographs.size()) + ".po";
  std::ofstream out(path, std::ios::binary);
  out << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
  constexpr size_t kPerLine = 20;
  for (size_t i = 0; i < ideographs.size(); i += kPerLine) {
    std::string text;
    for (size_t j = i; j < std::min(ideographs.size(), i + kPerLine); ++j) AppendUtf8(&text, ideographs[j]);
    out << "\nmsgid \"Line " << i / kPerLine + 1 << "\"\nmsgstr \"" << text << "\"\n";
  }
  out.close();
  if (!out) {
    std::fprintf(stderr, "atlas_capacity_bench: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("%s: %zu distinct ideographs\n", path.c_str(), ideographs.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string font = kDefaultFont, poDirectory;
  size_t count = 5000;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--font" && i + 1 < argc) {
      font = argv[++i];
    } else if (arg == "--write-po" && i + 1 < argc) {
      poDirectory = argv[++i];
    } else if (arg == "--count" && i + 1 < argc) {
      count = std::stoul(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: atlas_capacity_bench [--font FONT] [--write-po DIR [--count N]]\n");
      return 1;
    }
  }
  try {
    // Enough candidates for the largest atlas at the smallest size in the table.
    const std::vector<uint16_t> ideographs = bench::FrequentIdeographs(kCatalogues, font, poDirectory.empty() ? 20000 : count);
    return poDirectory.empty() ? RunTable(font, ideographs) : WritePo(poDirectory, ideographs);
  } catch (const CommandError& e) {
    std::fprintf(stderr, "atlas_capacity_bench: %s\n", e.what());
    return 1;
  }
}

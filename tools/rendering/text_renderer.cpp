#include "rendering/text_renderer.h"

#include <stb_image_write.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <set>

#include "base/utf8.h"
#include "common/code_points.h"
#include "common/command_error.h"
#include "rendering/host_glyphs.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kLineFeed = 0x0A;
constexpr uint32_t kTab = 0x09;
constexpr uint8_t kMarkColour[3] = {200, 40, 40};  // the box's edge and the arrow of a cut line: no glyph's
constexpr int kNarrowestClip = 64;  // a picture of so many lines that less width is left is refused

// Bilinear sample of the atlas's RGBA at texel coordinates (x, y), texel centres at +0.5.
void SampleAtlas(const AtlasImage& atlas, float x, float y, float out[4]) {
  const int atlasWidth = atlas.size.width, atlasHeight = atlas.size.height;
  for (int c = 0; c < 4; ++c) out[c] = 0;
  // A damaged table may hold any float: such texels read as transparent, and far-off coordinates
  // are pulled in before they become integers.
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  x = std::clamp(x, -1.0f, atlasWidth + 1.0f) - 0.5f;
  y = std::clamp(y, -1.0f, atlasHeight + 1.0f) - 0.5f;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const float fx = x - x0, fy = y - y0;
  for (int dy = 0; dy <= 1; ++dy) {
    for (int dx = 0; dx <= 1; ++dx) {
      const int tx = std::clamp(x0 + dx, 0, atlasWidth - 1), ty = std::clamp(y0 + dy, 0, atlasHeight - 1);
      const float weight = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy);
      if (weight == 0) continue;
      const uint8_t* texel = &atlas.rgba[(size_t(ty) * atlasWidth + tx) * 4];
      for (int c = 0; c < 4; ++c) out[c] += weight * texel[c];
    }
  }
}

struct PlacedGlyph {
  GlyphRecord scaled;  // its texture coordinates are the table's, bit for bit
  int penX;
  int line;
};

}  // namespace

TextImage RenderText(const std::vector<GlyphRecord>& records, const AtlasImage& atlas,
                     const std::string& text, const TextStyle& style) {
  std::vector<uint32_t> codePoints;
  if (!DecodeUtf8(text, &codePoints)) throw CommandError("the text is not valid UTF-8");
  const HostGlyphs glyphs(records, style.hostReferenceHeight);
  int ascent = 0, descent = 0;
  for (const GlyphRecord& s : glyphs.records()) {
    ascent = std::max(ascent, -int(s.offsetY));
    descent = std::max(descent, int(s.offsetY) + int(s.height));
  }

  TextImage image;
  const int margin = std::max(4, style.hostReferenceHeight / 2);
  image.originX = margin;
  image.firstBaseline = margin + ascent;
  image.lineAdvance = std::max(1, ascent + descent);

  const int64_t lines = std::count(codePoints.begin(), codePoints.end(), kLineFeed);
  const int64_t height = image.firstBaseline + lines * image.lineAdvance + descent + margin;
  // Cutting wide lines: what a line may take right of the pen's start, room for the widest reach
  // left of it (a glyph's negative offset) and the margins kept, and the arrow that marks a cut.
  int64_t clip = INT64_MAX, reachLeft = 0;
  const int arrow = std::max(4, image.lineAdvance / 2);
  if (style.clipWideLines) {
    for (const GlyphRecord& s : glyphs.records()) reachLeft = std::max<int64_t>(reachLeft, -int64_t{s.offsetX});
    clip = style.maxPixels / height - 2 * margin - reachLeft;
    if (clip < std::max(kNarrowestClip, style.boxWidth + 1)) clip = INT64_MAX;  // refused below, as too many lines
  }

  // Lay out: pen positions per line, and the extent of everything drawn.
  std::vector<PlacedGlyph> placed;
  std::set<uint32_t> missing;
  std::set<int64_t> cut;  // lines cut short
  int64_t line = 0, pen = 0, right = 0, left = 0;
  for (uint32_t c : codePoints) {
    if (c == kLineFeed) {
      ++line;
      pen = 0;
      continue;
    }
    if (cut.count(line) != 0) continue;
    const GlyphRecord* found = c <= 0xFFFF && c != kTab ? glyphs.Find(c) : nullptr;
    const int64_t reach = found == nullptr ? pen + glyphs.Advance(c)
                                           : std::max(pen + found->offsetX + int64_t{found->width}, pen + found->advance);
    if (reach > clip - arrow) {
      cut.insert(line);
      right = std::max(right, clip);
      continue;
    }
    if (found == nullptr) {
      if (c != kTab) missing.insert(c);
      pen += glyphs.Advance(c);
      right = std::max(right, pen);
      continue;
    }
    const GlyphRecord& scaled = *found;
    placed.push_back({scaled, static_cast<int>(pen), static_cast<int>(line)});
    left = std::min(left, pen + scaled.offsetX);
    right = std::max(right, reach);
    if (right - left > style.maxPixels) break;  // far too wide already; refused below
    pen += scaled.advance;
  }
  if (style.boxWidth > 0) right = std::max<int64_t>(right, style.boxWidth + 1);
  const int64_t width = margin - left + right + margin;
  if (width * height > style.maxPixels) {
    throw CommandError("the picture would be " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels, more than " + std::to_string(style.maxPixels >> 20) +
                       " megapixels: draw less text or use a smaller height");
  }
  image.originX = static_cast<int>(margin - left);
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.missing.assign(missing.begin(), missing.end());
  image.rgb.resize(size_t(image.width) * image.height * 3);
  for (size_t i = 0; i < image.rgb.size(); ++i) image.rgb[i] = style.background[i % 3];

  // The box's edge, in a colour no glyph has, behind the text.
  if (style.boxWidth > 0) {
    const int x = image.originX + style.boxWidth;
    for (int y = 0; y < image.height; ++y) {
      std::copy_n(kMarkColour, 3, &image.rgb[(size_t(y) * image.width + x) * 3]);
    }
  }
  // A cut line ends in an arrow pointing on, where its text stops.
  for (int64_t at : cut) {
    const int top = image.firstBaseline + static_cast<int>(at) * image.lineAdvance - ascent;
    const int tip = image.originX + static_cast<int>(clip) - 1;
    for (int y = 0; y < image.lineAdvance; ++y) {
      const int half = image.lineAdvance / 2, length = arrow * (half - std::abs(y - half)) / std::max(1, half);
      for (int x = tip - length; x <= tip; ++x) {
        if (x >= 0 && x < image.width && top + y >= 0 && top + y < image.height) {
          std::copy_n(kMarkColour, 3, &image.rgb[(size_t(top + y) * image.width + x) * 3]);
        }
      }
    }
  }
  for (const PlacedGlyph& g : placed) {
    const int quadX = image.originX + g.penX + g.scaled.offsetX;
    const int quadY = image.firstBaseline + g.line * image.lineAdvance + g.scaled.offsetY;
    const float atlasWidth = float(atlas.size.width), atlasHeight = float(atlas.size.height);
    const float texLeft = g.scaled.uLeft * atlasWidth, texTop = g.scaled.vTop * atlasHeight;
    const float texWidth = (g.scaled.uRight - g.scaled.uLeft) * atlasWidth;
    const float texHeight = (g.scaled.vBottom - g.scaled.vTop) * atlasHeight;
    for (int y = 0; y < g.scaled.height; ++y) {
      for (int x = 0; x < g.scaled.width; ++x) {
        const int px = quadX + x, py = quadY + y;
        if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
        float texel[4];
        SampleAtlas(atlas, texLeft + (x + 0.5f) * texWidth / g.scaled.width,
                    texTop + (y + 0.5f) * texHeight / g.scaled.height, texel);
        const float alpha = texel[3] / 255.0f;
        uint8_t* pixel = &image.rgb[(size_t(py) * image.width + px) * 3];
        for (int c = 0; c < 3; ++c) {
          pixel[c] = static_cast<uint8_t>(std::lround(pixel[c] * (1 - alpha) + texel[c] * alpha));
        }
      }
    }
  }
  return image;
}

std::vector<uint8_t> EncodePng(const TextImage& image) {
  std::vector<uint8_t> bytes;
  auto append = [](void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  };
  if (stbi_write_png_to_func(append, &bytes, image.width, image.height, 3, image.rgb.data(), image.width * 3) == 0) {
    throw CommandError("cannot encode the PNG image");
  }
  return bytes;
}

}  // namespace vykcn::tool

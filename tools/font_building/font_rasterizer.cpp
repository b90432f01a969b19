#include "font_building/font_rasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "common/code_points.h"
#include "common/command_error.h"
#include "common/file_io.h"

namespace vykcn::tool {

// Light hinting fits outlines to the pixel grid vertically only, which keeps stems and baselines
// crisp without distorting the glyphs' shapes; embedded bitmaps are skipped so that every glyph is
// rendered from its outline with 256 levels of coverage.
constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP;

struct FontRasterizer::State {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string path;
  std::vector<uint8_t> bytes;  // the font file, which FreeType reads from memory as long as the face lives
  FT_F26Dot6 charSize = 0;
};

namespace {

// FreeType names its errors only when built to; the ones a user meets when opening a file, in words.
std::string FreeTypeMessage(FT_Error error) {
  if (const char* text = FT_Error_String(error)) return text;
  switch (error) {
    case FT_Err_Unknown_File_Format:
      return "not a font (a TTF, OTF or TTC file)";
    case FT_Err_Invalid_File_Format:
      return "a damaged font file";
    case FT_Err_Invalid_Argument:
      return "no such face";
    case FT_Err_Out_Of_Memory:
      return "out of memory";
    default:
      return "FreeType error " + std::to_string(error);
  }
}

}  // namespace

void TrimToInk(RasterGlyph* glyph) {
  int top = glyph->height, bottom = -1, left = glyph->width, right = -1;
  for (int y = 0; y < glyph->height; ++y) {
    for (int x = 0; x < glyph->width; ++x) {
      if (glyph->coverage[size_t(y) * glyph->width + x] == 0) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  if (bottom < 0) {
    glyph->width = glyph->height = 0;
    glyph->coverage.clear();
    return;
  }
  if (top == 0 && left == 0 && bottom == glyph->height - 1 && right == glyph->width - 1) return;
  const int width = right - left + 1, height = bottom - top + 1;
  std::vector<uint8_t> inked(size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    std::copy_n(&glyph->coverage[size_t(top + y) * glyph->width + left], width, &inked[size_t(y) * width]);
  }
  glyph->coverage = std::move(inked);
  glyph->left += left;
  glyph->top -= top;  // top counts upwards from the baseline
  glyph->width = width;
  glyph->height = height;
}

FontRasterizer::FontRasterizer(const std::string& path, int face) : state_(std::make_unique<State>()) {
  state_->path = path;
  // Read by the toolkit, so that any path opens (FreeType opens only the C runtime's names) and a
  // failure gives the system's reason.
  state_->bytes = ReadFileBytes(path);
  const auto newFace = [this](int index) {
    return FT_New_Memory_Face(state_->library, state_->bytes.data(), static_cast<FT_Long>(state_->bytes.size()), index,
                              &state_->face);
  };
  if (FT_Error error = FT_Init_FreeType(&state_->library)) {
    throw CommandError("cannot start FreeType: " + FreeTypeMessage(error));
  }
  if (FT_Error error = newFace(0)) {
    FT_Done_FreeType(state_->library);
    state_->library = nullptr;
    throw CommandError("cannot read font " + path + ": " + FreeTypeMessage(error));
  }
  if (face != 0) {
    const long faces = state_->face->num_faces;
    FT_Done_Face(state_->face);
    state_->face = nullptr;
    FT_Error error = face < 0 || face >= faces ? FT_Err_Invalid_Argument
                                               : newFace(face);
    if (error != 0) {
      FT_Done_FreeType(state_->library);
      state_->library = nullptr;
      throw CommandError("font " + path + " has no face " + std::to_string(face) + " (it has " +
                         std::to_string(faces) + (faces == 1 ? " face, numbered 0)" : " faces, numbered from 0)"));
    }
  }
  if (!FT_IS_SCALABLE(state_->face)) {
    FT_Done_Face(state_->face);
    FT_Done_FreeType(state_->library);
    state_->library = nullptr;
    throw CommandError("cannot read font " + path + ": it has no scalable outlines");
  }
}

FontRasterizer::~FontRasterizer() {
  if (state_ && state_->library != nullptr) {
    FT_Done_Face(state_->face);
    FT_Done_FreeType(state_->library);
  }
}

bool FontRasterizer::HasGlyph(uint32_t codePoint) const { return FT_Get_Char_Index(state_->face, codePoint) != 0; }

double FontRasterizer::pixelSize() const { return state_->charSize / 64.0; }

void FontRasterizer::SizeForReferenceHeight(uint32_t codePoint, int rows) {
  if (!TrySizeForReferenceHeight(codePoint, rows)) {
    throw CommandError("font " + state_->path + ": no size renders " + FormatCodePoint(codePoint) + " " +
                       std::to_string(rows) + " pixels high");
  }
}

bool FontRasterizer::TrySizeForReferenceHeight(uint32_t codePoint, int rows) {
  const FT_F26Dot6 before = state_->charSize;
  if (SizeNearest(codePoint, rows)) return true;
  state_->charSize = before;
  if (before != 0) FT_Set_Char_Size(state_->face, 0, before, 72, 72);
  return false;
}

void FontRasterizer::SizeNearReferenceHeight(uint32_t codePoint, int rows) { SizeNearest(codePoint, rows); }

void FontRasterizer::SetPixelSize(double pixels) {
  state_->charSize = std::max<FT_F26Dot6>(64, static_cast<FT_F26Dot6>(std::lround(pixels * 64)));
  FT_Set_Char_Size(state_->face, 0, state_->charSize, 72, 72);
}

double FontRasterizer::EstimatedPixelSize(uint32_t codePoint, int rows) const {
  FT_Face face = state_->face;
  const FT_UInt index = FT_Get_Char_Index(face, codePoint);
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    throw CommandError("font " + state_->path + " has no outline for " + FormatCodePoint(codePoint));
  }
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  const long unitsHigh = box.yMax - box.yMin;
  if (unitsHigh <= 0) throw CommandError("the outline of " + FormatCodePoint(codePoint) + " is empty");
  return rows * static_cast<double>(face->units_per_EM) / static_cast<double>(unitsHigh);
}

FontRasterizer::Extent FontRasterizer::UnscaledExtent(uint32_t codePoint) const {
  FT_Face face = state_->face;
  const FT_UInt index = FT_Get_Char_Index(face, codePoint);
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face->glyph->outline.n_points == 0) {
    return {};
  }
  FT_BBox box;
  FT_Outline_Get_BBox(&face->glyph->outline, &box);
  const double em = face->units_per_EM;
  return {(box.xMax - box.xMin) / em, (box.yMax - box.yMin) / em};
}

bool FontRasterizer::SizeNearest(uint32_t codePoint, int rows) {
  FT_Face face = state_->face;
  // The outline's height scales linearly with the size; hinting and coverage may add or take a row,
  // so sizes around the linear estimate are tried nearest first.
  const FT_F26Dot6 estimate = static_cast<FT_F26Dot6>(std::lround(64.0 * EstimatedPixelSize(codePoint, rows)));
  FT_F26Dot6 best = std::max<FT_F26Dot6>(64, estimate);
  int bestMiss = INT_MAX;
  for (int distance = 0; distance <= 4 * 64; ++distance) {
    for (int sign : {-1, 1}) {
      if (distance == 0 && sign == 1) continue;
      const FT_F26Dot6 size = estimate + sign * distance;
      if (size < 64) continue;
      state_->charSize = size;
      if (FT_Set_Char_Size(face, 0, size, 72, 72) != 0) continue;
      const int miss = std::abs(Render(codePoint).height - rows);
      if (miss == 0) return true;
      if (miss < bestMiss) bestMiss = miss, best = size;
    }
  }
  state_->charSize = best;
  FT_Set_Char_Size(face, 0, best, 72, 72);
  return false;
}

RasterGlyph FontRasterizer::Render(uint32_t codePoint) const {
  FT_Face face = state_->face;
  const FT_UInt index = FT_Get_Char_Index(face, codePoint);
  FT_Error error = FT_Load_Glyph(face, index, kLoadFlags);
  if (error == 0) error = FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
  if (error != 0) {
    throw CommandError("cannot render " + FormatCodePoint(codePoint) + ": " + FreeTypeMessage(error));
  }
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.rows != 0 && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
    throw CommandError("cannot render " + FormatCodePoint(codePoint) + ": not a grey-level bitmap");
  }
  RasterGlyph glyph;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  glyph.width = static_cast<int>(bitmap.width);
  glyph.height = static_cast<int>(bitmap.rows);
  glyph.coverage.resize(size_t(glyph.width) * glyph.height);
  const int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
  for (int y = 0; y < glyph.height; ++y) {
    const unsigned char* row = bitmap.pitch >= 0 ? bitmap.buffer + size_t(y) * bitmap.pitch
                                                 : bitmap.buffer + size_t(glyph.height - 1 - y) * -bitmap.pitch;
    for (int x = 0; x < glyph.width; ++x) {
      glyph.coverage[size_t(y) * glyph.width + x] = static_cast<uint8_t>((row[x] * 255 + grays / 2) / grays);
    }
  }
  TrimToInk(&glyph);
  return glyph;
}

}  // namespace vykcn::tool

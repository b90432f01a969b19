#pragma once
// The atlas itself as a picture: its texels' colour blended by their alpha over a dark ground, so
// that one sees which glyphs it holds and how much of it they fill.
#include "font_building/atlas_file.h"
#include "rendering/text_renderer.h"

namespace vykcn::tool {

TextImage DrawAtlas(const AtlasImage& atlas, const TextStyle& style);

}  // namespace vykcn::tool

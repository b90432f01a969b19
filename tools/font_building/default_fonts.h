#pragma once
// The fonts the module's glyphs are drawn from when none is given: WenQuanYi Micro Hei, then
// DejaVu Sans for the characters it lacks. check measures with them by default, and make takes
// its FONT and FALLBACK_FONTS defaults from here (vykcn-tool default-fonts), so the two never
// drift apart.
#include "font_building/font_chain.h"

namespace vykcn::tool {

FontFiles DefaultFonts();

}  // namespace vykcn::tool

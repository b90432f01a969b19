#pragma once
// The fonts the module's glyphs are drawn from when no --font is given: WenQuanYi Micro Hei, then
// DejaVu Sans for the characters it lacks. check measures with them, build and pack-font draw with
// them, and make takes its FONT and FALLBACK_FONTS defaults from here (vykcn-tool default-fonts),
// so none drifts from the others. Both are looked for beside the program, and only there: the build
// puts them beside vykcn-tool (and make beside out/vykcn-tool), the Windows release beside
// vykcn-tool.exe, so every copy of the toolkit draws with the same files and gives the same bytes;
// a font of the system is used only when --font names it.
#include "font_building/font_chain.h"

namespace vykcn::tool {

// The default chain, beside the running program.
FontFiles DefaultFonts();

}  // namespace vykcn::tool

#pragma once
// vykcn-tool default-fonts: the fonts check measures with when no --font is given, the main font
// first, then its fallbacks, one a line. make takes its FONT and FALLBACK_FONTS defaults from it.
#include <CLI/CLI.hpp>

namespace vykcn::tool {

struct DefaultFontsOptions {};

void AddDefaultFontsOptions(CLI::App* command, DefaultFontsOptions* options);
int RunDefaultFonts(DefaultFontsOptions& options);

}  // namespace vykcn::tool

// vykcn-tool default-fonts: the fonts check measures with when no --font is given, the main font
// first, then its fallbacks, one a line. make takes its FONT and FALLBACK_FONTS defaults from it.
#include <cstdio>

#include "commands/command_registry.h"
#include "font_building/default_fonts.h"

namespace vykcn::tool {
namespace {

void AddDefaultFontsCommand(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "default-fonts", "List the fonts that check and make use when none is given: the main font, then its fallbacks");
  command->callback([] {
    const FontFiles fonts = DefaultFonts();
    std::printf("%s\n", fonts.main.c_str());
    for (const std::string& fallback : fonts.fallbacks) std::printf("%s\n", fallback.c_str());
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("default-fonts", AddDefaultFontsCommand);

}  // namespace vykcn::tool

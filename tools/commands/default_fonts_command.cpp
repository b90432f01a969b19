#include "commands/default_fonts_command.h"

#include <cstdio>

#include "common/command_error.h"
#include "font_building/default_fonts.h"

namespace vykcn::tool {

void AddDefaultFontsOptions(CLI::App*, DefaultFontsOptions*) {}

int RunDefaultFonts(DefaultFontsOptions&) {
  const FontFiles fonts = DefaultFonts();
  std::printf("%s\n", fonts.main.c_str());
  for (const std::string& fallback : fonts.fallbacks) std::printf("%s\n", fallback.c_str());
  return kExitDone;
}

}  // namespace vykcn::tool

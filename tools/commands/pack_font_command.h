#pragma once
// vykcn-tool pack-font: the glyph table (resource 101) and font atlas (resource 103) for every
// character that the host may draw with them: those of the translations and of the host texts.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "formats/dds_atlas.h"

namespace vykcn::tool {

struct PackFontOptions {
  std::string font;
  std::string glyphs;
  std::string atlas;
  std::vector<std::string> translations;
  int glyphHeight = 0;  // 0: the largest that fits
  AtlasSize atlasSize;  // the documented 2048 x 1024 unless asked
  int face = 0;
  std::string stamp;
  bool glyphFindingsOnly = false;
  CheckOptions check;
};

void AddPackFontOptions(CLI::App* command, PackFontOptions* options);
int RunPackFont(PackFontOptions& options);

}  // namespace vykcn::tool

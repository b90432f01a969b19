#pragma once
// vykcn-tool preview: draws a text with the module's glyph table and atlas, as the host would; or
// with those pack-font would build from a font and its fallbacks.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "commands/layout_options.h"

namespace vykcn::tool {

struct PreviewOptions {
  std::string dll;
  std::string glyphs;
  std::string atlas;
  int height = 25;
  int samples = 0;
  bool allowMissing = false;
  std::string output;
  std::string text;
  bool drawAtlas = false;
  int maxWidth = 0;                       // > 0: wrap to it and draw the box's edge
  int widest = 0;                         // > 0: draw the N widest lines of a set
  std::vector<std::string> translations;  // that set; none: the DLL's own translations
  CheckOptions font;                      // --font and its options: the table and atlas built from it
  LayoutSources fontLayout;               // none given: the checks of --font and its fallbacks
};

void AddPreviewOptions(CLI::App* command, PreviewOptions* options);
int RunPreview(PreviewOptions& options);

}  // namespace vykcn::tool

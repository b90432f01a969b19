#include "commands/layout_options.h"

#include "commands/repeated_options.h"
#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "font_building/default_fonts.h"
#include "module_reading/glyph_table_file.h"
#include "system/files.h"

namespace vykcn::tool {

void AddGlyphLayoutOptions(CLI::App* command, int* glyphHeight, AtlasSize* atlas, int* face) {
  command->add_option("--glyph-height", *glyphHeight,
                      "the glyphs' 'M' height in pixels (default: 25, or the largest down to 12 at which all glyphs "
                      "fit)")
      ->check(CLI::Range(kLowestForcedGlyphHeight, kHighestForcedGlyphHeight));
  command->add_option_function<std::string>(
      "--atlas-size",
      [atlas](const std::string& value) {
        if (!ParseAtlasSize(value, atlas)) {
          throw CLI::ValidationError("--atlas-size", value + " is not one of 2048x1024, 4096x2048, 4096x4096");
        }
      },
      "2048x1024 (default), or 4096x2048 or 4096x4096 for a host that was tried with it")
      ->option_text("WxH");
  command->add_option("--face", *face, "face of a TTC font collection (default 0)")->check(CLI::Range(0, 65535));
}

void AddFontOptions(CLI::App* command, CheckOptions* options) {
  command->add_option("--font", options->fontPath,
                      "check that this font has every character the game may draw, and the atlas fit; lines are "
                      "measured with the glyphs pack-font would build from it with the options below");
  AddGlyphLayoutOptions(command, &options->layout.glyphHeight, &options->layout.atlas, &options->fontFace);
  AddFallbackFontOption(command, &options->fallbackFonts);
}

void TakeDefaultFontsUnlessGiven(CheckOptions* options) {
  if (!options->fontPath.empty()) return;
  const FontFiles fonts = DefaultFonts();
  std::vector<std::string> files = {fonts.main};
  if (options->fallbackFonts.empty()) files.insert(files.end(), fonts.fallbacks.begin(), fonts.fallbacks.end());
  for (const std::string& file : files) {
    if (system::LookAt(file).kind != system::FileKind::kRegular) {
      throw CommandError("no default font " + file + ": the toolkit looks for its fonts beside the program; give --font FONT");
    }
  }
  options->fontPath = fonts.main;
  if (options->fallbackFonts.empty()) options->fallbackFonts = fonts.fallbacks;
}

void AddFallbackFontOption(CLI::App* command, std::vector<std::string>* fallbacks) {
  AddFilesOption(command, "--fallback-font", fallbacks,
                 "a font to take each character from that the fonts before it lack, sized so that its 'M' is as "
                 "high as theirs (tried in the order given)");
}

void AddLayoutOptions(CLI::App* command, CheckOptions* options, LayoutSources* sources, bool wrap) {
  LayoutOptions& layout = options->layout;
  command->add_option("--max-width", layout.maxWidth, "warn of a line wider than PX pixels in the game [width]")
      ->check(CLI::Range(1, 1 << 20));
  command->add_option("--max-lines", layout.maxLines, "warn of a translation of more than N lines [width]")
      ->check(CLI::Range(1, 1 << 20));
  command->add_option("--host-height", layout.hostHeight, "the host font's 'M' height in pixels (default 25)")
      ->check(CLI::Range(1, 255));
  if (wrap) {
    command->add_option("--wrap", layout.wrapWidth,
                        "break translations into lines of at most PX pixels, by the Chinese line-breaking rules")
        ->check(CLI::Range(1, 1 << 20));
  }
  auto* glyphs = command->add_option("--glyphs", sources->glyphs, "measure with this glyph table (resource 101)");
  auto* dll = command->add_option("--dll", sources->dll, "measure with the glyph table of a built vykcn.dll");
  glyphs->excludes(dll);
}

void ResolveLayoutSources(const LayoutSources& sources, CheckOptions* options) {
  LayoutOptions& layout = options->layout;
  if (!options->fallbackFonts.empty() && options->fontPath.empty()) {
    throw CommandError("--fallback-font needs --font: the fallbacks give only the characters the font lacks");
  }
  if (!sources.glyphs.empty()) layout.table = ReadGlyphTableFile(sources.glyphs);
  if (!sources.dll.empty()) layout.table = ReadModuleGlyphTable(sources.dll);
  if (layout.requested() && layout.table.empty() && options->fontPath.empty()) {
    throw CommandError("measuring lines needs a glyph table: --glyphs FILE, --dll FILE or --font FONT");
  }
}

}  // namespace vykcn::tool

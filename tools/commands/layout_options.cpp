#include "commands/layout_options.h"

#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "module_reading/glyph_table_file.h"

namespace vykcn::tool {

void AddFontOptions(CLI::App* command, CheckOptions* options, LayoutSources* sources) {
  command->add_option("--font", options->fontPath,
                      "check that this font has every character the game may draw, and the atlas fit; lines are "
                      "measured with the glyphs pack-font would build from it");
  command->add_option("--face", options->fontFace, "face of a TTC font collection (default 0)")
      ->check(CLI::NonNegativeNumber);
  AddFallbackFontOption(command, &options->fallbackFonts);
  command->add_option("--glyph-height", options->layout.glyphHeight,
                      "the 'M' height pack-font is given (default: 25, or the largest that fits)")
      ->check(CLI::Range(6, 100));
  command->add_option("--atlas-size", sources->atlasSize, "the atlas size pack-font is given");
}

void AddFallbackFontOption(CLI::App* command, std::vector<std::string>* fallbacks) {
  command
      ->add_option("--fallback-font", *fallbacks,
                   "FILE: a font to take each character from that the fonts before it lack, sized so that its 'M' "
                   "is as high as theirs (one file each time; repeat it for more, tried in the order given)")
      ->allow_extra_args(false);
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
  if (!sources.atlasSize.empty() && !ParseAtlasSize(sources.atlasSize, &layout.atlas)) {
    throw CommandError("--atlas-size: " + sources.atlasSize + " is not one of 2048x1024, 4096x2048, 4096x4096");
  }
  if (!sources.glyphs.empty()) layout.table = ReadGlyphTableFile(sources.glyphs);
  if (!sources.dll.empty()) layout.table = ReadModuleGlyphTable(sources.dll);
  if (layout.requested() && layout.table.empty() && options->fontPath.empty()) {
    throw CommandError("measuring lines needs a glyph table: --glyphs FILE, --dll FILE or --font FONT");
  }
}

}  // namespace vykcn::tool

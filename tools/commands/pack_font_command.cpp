// vykcn-tool pack-font: the glyph table (resource 101) and font atlas (resource 103) for the
// characters that a set of translations uses.
#include <cmath>
#include <cstdio>
#include <memory>

#include "checks/build_guard.h"
#include "commands/command_registry.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "font_building/alpha_psnr.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_block.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"

namespace vykcn::tool {
namespace {

struct PackFontOptions {
  std::string font;
  std::string glyphs;
  std::string atlas;
  std::vector<std::string> translations;
  bool laterWins = false;
};

// The texts the module will carry, as pack-text takes them, after the same checks (with the font's
// coverage among them, so that a missing glyph is named with its file and line).
std::vector<std::string> TranslatedTexts(const PackFontOptions& options) {
  CheckOptions checkOptions;
  checkOptions.laterWins = options.laterWins;
  checkOptions.fontPath = options.font;
  std::vector<std::string> texts;
  for (const TextEntry& entry : CheckBeforeBuild(options.translations, checkOptions).used) {
    texts.push_back(entry.translation);
  }
  return texts;
}

void RunPackFont(const PackFontOptions& options) {
  const GlyphCharset charset = BuildGlyphCharset(TranslatedTexts(options));
  const FontPack pack = BuildFontPack(options.font, charset);

  const std::vector<uint8_t> blocks = EncodeWhiteBc3(pack.coverage.data(), kAtlasWidth, kAtlasHeight);
  const std::vector<uint8_t> decoded = DecodeBc3Image(blocks.data(), kAtlasWidth, kAtlasHeight);
  const double psnr = AlphaPsnr(pack.coverage.data(), decoded.data(), kAtlasWidth, kAtlasHeight);

  // Everything is computed before anything is written; a failed second write takes the first away
  // again, so that the two files never disagree.
  WriteFileAtomically(options.glyphs, SerializeGlyphTable(pack.records));
  try {
    WriteFileAtomically(options.atlas, BuildAtlasFile(blocks));
  } catch (const CommandError&) {
    std::remove(options.glyphs.c_str());
    throw;
  }
  std::printf("%zu glyphs at %.2f px ('M' %d px high) -> %s, %s\n", pack.records.size(), pack.pixelSize,
              kReferenceGlyphRows, options.glyphs.c_str(), options.atlas.c_str());
  if (std::isinf(psnr)) {
    std::printf("atlas alpha: BC3 exact\n");
  } else {
    std::printf("atlas alpha: BC3 PSNR %.2f dB over the blocks with coverage\n", psnr);
  }
}

void AddPackFontCommand(CLI::App& app) {
  auto options = std::make_shared<PackFontOptions>();
  CLI::App* command = app.add_subcommand(
      "pack-font", "Rasterise the characters of translations into a glyph table (101) and a DXT5 atlas (103)");
  command->add_option("--font", options->font, "TTF, OTF or TTC font file")->required();
  command->add_option("--glyphs", options->glyphs, "glyph table to write")->required();
  command->add_option("--atlas", options->atlas, "DDS atlas to write")->required();
  command->add_option("translations", options->translations, "translation files (.po, .csv)");
  command->add_flag("--later-wins", options->laterWins, "a file named later overrides earlier ones, as in pack-text");
  command->callback([options] {
    CommandPaths paths{options->translations, {options->glyphs, options->atlas}};
    paths.inputs.push_back(options->font);
    CheckCommandPaths(paths);
    RunPackFont(*options);
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("pack-font", AddPackFontCommand);

}  // namespace vykcn::tool

#include "commands/pack_font_command.h"

#include <cmath>
#include <cstdio>

#include "checks/build_guard.h"
#include "common/command_error.h"
#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/build_stamp.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "font_building/alpha_psnr.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_block.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {
namespace {

// Every character the host may draw, after the checks that pack-text makes (with the font's
// coverage among them, so that a missing glyph is named with its file and line).
GlyphCharset GlyphsToDraw(const PackFontOptions& options) {
  CheckOptions checkOptions = options.check;
  checkOptions.fontPath = options.font;
  checkOptions.fontFace = options.face;
  return CheckBeforeBuild(options.translations, checkOptions,
                          options.glyphFindingsOnly ? BuildFindings::kGlyphsOnly : BuildFindings::kAll)
      .glyphs;
}

void PackFont(const PackFontOptions& options) {
  FontPackOptions packOptions;
  packOptions.atlas = options.atlasSize;
  packOptions.glyphHeight = options.glyphHeight;
  const FontFiles fonts(options.font, options.face, options.check.fallbackFonts);

  const GlyphCharset charset = GlyphsToDraw(options);
  // What the two files are made of: the characters, the font's bytes, the options, the tool.
  BuildStamp inputs;
  if (!options.stamp.empty()) {
    inputs.AddThisProgram();
    inputs.AddFile("font", options.font);
    for (const std::string& fallback : fonts.fallbacks) inputs.AddFile("fallback font", fallback);
    inputs.Add("characters", charset.codes.data(), charset.codes.size() * sizeof(uint16_t));
    const int settings[] = {options.face, options.glyphHeight, packOptions.atlas.width, packOptions.atlas.height};
    inputs.Add("options", settings, sizeof settings);
    if (StampIsCurrent(options.stamp, inputs.Digest(), {options.glyphs, options.atlas})) {
      std::printf("%zu glyphs, up to date in %s, %s\n", charset.codes.size(), options.glyphs.c_str(),
                  options.atlas.c_str());
      return;
    }
  }
  FontPack pack;
  try {
    pack = BuildFontPack(fonts, charset, packOptions);
  } catch (const CommandError& e) {
    // Glyphs that fit no height are said as check says them, at the font.
    std::fprintf(stderr, "%s\n", FormatProblem(e.FoundIn(-1, options.font)).c_str());
    throw CommandError("1 error (listed above); nothing written");
  }
  const int width = pack.atlas.width, height = pack.atlas.height;

  const std::vector<uint8_t> blocks = EncodeWhiteBc3(pack.coverage.data(), width, height);
  const std::vector<uint8_t> decoded = DecodeBc3Image(blocks.data(), width, height);
  const double psnr = AlphaPsnr(pack.coverage.data(), decoded.data(), width, height);

  // Everything is computed before anything is written, and the two files are replaced together.
  const std::vector<uint8_t> table = SerializeGlyphTable(pack.records);
  const std::vector<uint8_t> atlasFile = BuildAtlasFile(blocks, pack.atlas);
  WriteFilesAtomically({{options.glyphs, &table}, {options.atlas, &atlasFile}});
  if (!options.stamp.empty()) WriteStamp(options.stamp, inputs.Digest(), {options.glyphs, options.atlas});
  const double used = 100.0 * double(pack.usedTexels) / (double(width) * height);
  std::printf("%zu glyphs, 'M' %d px high (%.2f px em), %s atlas %.1f%% used -> %s, %s\n", pack.records.size(),
              pack.glyphHeight, pack.pixelSize, DescribeAtlasSize(pack.atlas).c_str(), used,
              options.glyphs.c_str(), options.atlas.c_str());
  for (size_t i = 0; i < fonts.fallbacks.size(); ++i) {
    if (pack.fromFallbacks[i] > 0) {
      std::printf("%zu glyph%s from the fallback font %s\n", pack.fromFallbacks[i], pack.fromFallbacks[i] == 1 ? "" : "s",
                  fonts.fallbacks[i].c_str());
    }
  }
  if (options.glyphHeight == 0 && pack.glyphHeight != kReferenceGlyphRows) {
    std::printf("the glyphs do not fit at 'M' %d px: chose %d px, the largest that fits; a host whose 'M' is %d px "
                "draws them scaled by %.2f\n",
                kReferenceGlyphRows, pack.glyphHeight, kReferenceGlyphRows,
                double(kReferenceGlyphRows) / pack.glyphHeight);
  }
  if (!(pack.atlas == AtlasSize())) {
    std::printf("the atlas is larger than the documented 2048 x 1024: use it only on a host where it was tried\n");
  }
  if (std::isinf(psnr)) {
    std::printf("atlas alpha: BC3 exact\n");
  } else {
    std::printf("atlas alpha: BC3 PSNR %.2f dB over the blocks with coverage\n", psnr);
  }
}

}  // namespace

void AddPackFontOptions(CLI::App* command, PackFontOptions* options) {
  command->add_option("--font", options->font,
                      "TTF, OTF or TTC font file (default: WenQuanYi Micro Hei, then DejaVu Sans for what it lacks, "
                      "beside the program)");
  command->add_option("--glyphs", options->glyphs, "glyph table to write")->required();
  command->add_option("--atlas", options->atlas, "DDS atlas to write")->required();
  AddGlyphLayoutOptions(command, &options->glyphHeight, &options->atlasSize, &options->face);
  AddFallbackFontOption(command, &options->check.fallbackFonts);
  command->add_option("--stamp", options->stamp,
                      "a record of what the outputs were made from: when it names these very characters, font, "
                      "options and tool, and the outputs are as made then, nothing is drawn or written");
  command->add_flag("--glyph-findings-only", options->glyphFindingsOnly,
                    "print and refuse only the findings about glyphs (the fonts' coverage, --extra-chars), as in a "
                    "build where pack-text, run on the same files, prints and refuses the rest");
  command->add_option("translations", options->translations,
                      "translation files (.po, .csv); a folder, its .po and .csv files and its subfolders', in path "
                      "order");
  AddSetOptions(command, &options->check);
  AddExtraCharsOption(command, &options->check);
}

int RunPackFont(PackFontOptions& options) {
  if (options.font.empty()) {
    TakeDefaultFontsUnlessGiven(&options.check);
    options.font = options.check.fontPath;
  }
  CommandPaths paths;
  options.translations = TranslatorsFiles(options.translations, &paths.problems);
  paths.inputs = options.translations;
  paths.binaryOutputs = {options.glyphs, options.atlas, options.stamp};
  paths.inputs.push_back(options.font);
  paths.inputs.insert(paths.inputs.end(), options.check.fallbackFonts.begin(), options.check.fallbackFonts.end());
  paths.inputs.push_back(options.check.extraCharsPath);
  paths.inputs.insert(paths.inputs.end(), options.check.hostTextFiles.begin(), options.check.hostTextFiles.end());
  CheckCommandPaths(paths);
  PackFont(options);
  return kExitDone;
}

}  // namespace vykcn::tool

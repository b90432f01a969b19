#include "commands/build_command.h"

#include <cstdio>

#include "checks/build_guard.h"
#include "common/command_error.h"
#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "common/translation_packing.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "module_building/module_rebuild.h"
#include "system/files.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {

int RunBuild(BuildOptions& options) {
  std::vector<std::string> files;
  for (const std::string& source : options.sources) {
    if (system::LookAt(source).kind != system::FileKind::kDirectory) {
      files.push_back(source);
      continue;
    }
    const std::vector<std::string> inside = TranslatorsFilesIn(source);
    files.insert(files.end(), inside.begin(), inside.end());
  }
  CommandPaths paths{files, {}};
  paths.inputs.insert(paths.inputs.end(), options.check.hostTextFiles.begin(), options.check.hostTextFiles.end());
  paths.inputs.insert(paths.inputs.end(), {options.check.fontPath, options.check.extraCharsPath, options.module});
  paths.inputs.insert(paths.inputs.end(), options.check.fallbackFonts.begin(), options.check.fallbackFonts.end());
  paths.binaryOutputs.push_back(options.output);
  CheckCommandPaths(paths);
  ResolveLayoutSources(options.layout, &options.check);
  const std::vector<uint8_t> module = ReadFileBytes(options.module);

  // One check of the set, as pack-text and pack-font make it: lines are measured with the glyphs
  // that the font gives at the module's 'M' height, the very ones built below.
  const CheckedTranslations checked = CheckBeforeBuild(files, options.check);
  FontPackOptions packing;
  packing.atlas = options.check.layout.atlas;
  packing.glyphHeight = options.check.layout.glyphHeight;
  const FontFiles fonts = options.check.fonts();
  const FontPack pack = BuildFontPack(fonts, checked.glyphs, packing);
  SetResources set;
  set.glyphTable = SerializeGlyphTable(pack.records);
  set.atlas = BuildAtlasFile(EncodeWhiteBc3(pack.coverage.data(), pack.atlas.width, pack.atlas.height), pack.atlas);
  set.translations = PackTranslationResource(checked.set.image, 0, kTranslationWindowSize,
                                             options.best ? lzx::CompressionLevel::kBest : lzx::CompressionLevel::kDefault);
  const std::vector<uint8_t> built = RebuildModule(module, options.module, set);
  WriteFileAtomically(options.output, built);
  std::printf("built %s (%zu bytes) from %zu file%s: %zu records, %zu glyphs, 'M' %d px, %s atlas\n",
              options.output.c_str(), built.size(), files.size(), files.size() == 1 ? "" : "s", checked.set.records(),
              pack.records.size(), pack.glyphHeight, DescribeAtlasSize(pack.atlas).c_str());
  for (size_t i = 0; i < fonts.fallbacks.size(); ++i) {
    if (pack.fromFallbacks[i] > 0) {
      std::printf("%zu glyph%s from the fallback font %s\n", pack.fromFallbacks[i], pack.fromFallbacks[i] == 1 ? "" : "s",
                  fonts.fallbacks[i].c_str());
    }
  }
  if (options.check.layout.glyphHeight == 0 && pack.glyphHeight != kReferenceGlyphRows) {
    std::printf("the glyphs do not fit at 'M' %d px: chose %d px, the largest that fits\n", kReferenceGlyphRows,
                pack.glyphHeight);
  }
  return kExitDone;
}

void AddBuildOptions(CLI::App* command, BuildOptions* options) {
  command->add_option("SOURCES", options->sources,
                      "folders of .po and .csv files (subfolders too, in the order of their paths), or the files")
      ->required();
  command->add_option("--module", options->module, "a built vykcn.dll (out/vykcn.dll, or the test build)")->required();
  command->add_option("-o,--output", options->output, "the module to write")->required();
  command->add_flag("--best", options->best, "compress the translations at the best level, as pack-text --best");
  AddSetOptions(command, &options->check);
  AddExtraCharsOption(command, &options->check);
  AddFontOptions(command, &options->check);
  command->get_option("--font")->required()->description("TTF, OTF or TTC font file rasterised into the atlas");
  AddLayoutOptions(command, &options->check, &options->layout, true);
  // Lines are measured with the glyph table the build makes, never another.
  command->remove_option(command->get_option("--glyphs"));
  command->remove_option(command->get_option("--dll"));
}

}  // namespace vykcn::tool

#include "commands/build_command.h"

#include <cstdio>
#include <sstream>

#include "checks/build_guard.h"
#include "common/command_error.h"
#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/build_stamp.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "common/translation_packing.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "formats/glyph_table.h"
#include "formats/resource_ids.h"
#include "module_building/module_rebuild.h"
#include "module_reading/pe_resources.h"
#include "system/files.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {

namespace {

// The glyph table and atlas, drawn now or taken as a build drew them before.
struct GlyphPart {
  std::vector<uint8_t> table;
  std::vector<uint8_t> atlas;
  size_t glyphs = 0;
  int height = 0;  // the 'M' height
  AtlasSize atlasSize;
  std::vector<size_t> fromFallbacks;  // per fallback font, when drawn now
};

GlyphPart DrawGlyphs(const FontFiles& fonts, const GlyphCharset& charset, const LayoutOptions& layout) {
  FontPackOptions packing;
  packing.atlas = layout.atlas;
  packing.glyphHeight = layout.glyphHeight;
  const FontPack pack = BuildFontPack(fonts, charset, packing);
  return {SerializeGlyphTable(pack.records),
          BuildAtlasFile(EncodeWhiteBc3(pack.coverage.data(), pack.atlas.width, pack.atlas.height), pack.atlas),
          pack.records.size(), pack.glyphHeight, pack.atlas, pack.fromFallbacks};
}

GlyphPart GlyphsBuiltBefore(const std::vector<PeResource>& resources, const std::string& path) {
  GlyphPart part;
  part.table = RequireModuleResource(resources, kGlyphTableResourceId, path);
  part.atlas = RequireModuleResource(resources, kFontAtlasResourceId, path);
  const std::vector<GlyphRecord> records = ParseGlyphTable(part.table.data(), part.table.size());
  GlyphRecord reference{};
  part.glyphs = records.size();
  part.height = FindReferenceGlyph(records, &reference) ? reference.height : 0;
  AtlasFileProblem(part.atlas, &part.atlasSize);
  return part;
}

// --stamp: what each part of the module is made of. A part whose inputs are those the record names
// is taken from the module written then (still as written), as pack-font and pack-text leave their
// outputs alone: an edit that adds no character draws no glyph again, and with nothing new nothing
// is written.
struct PartDigests {
  std::string glyphs;        // the characters, the fonts' bytes, the layout and the tool
  std::string translations;  // the image, the level and the tool
  std::string module;        // the module the set goes into
  std::string Joined() const { return glyphs + " " + translations + " " + module; }
};

PartDigests DigestParts(const BuildOptions& options, const CheckedTranslations& checked, const FontFiles& fonts,
                        const std::vector<uint8_t>& module) {
  BuildStamp glyphs, translations, into;
  glyphs.AddThisProgram();
  glyphs.AddFile("font", fonts.main);
  for (const std::string& fallback : fonts.fallbacks) glyphs.AddFile("fallback font", fallback);
  glyphs.Add("characters", checked.glyphs.codes.data(), checked.glyphs.codes.size() * sizeof(uint16_t));
  const LayoutOptions& layout = options.check.layout;
  const int settings[] = {fonts.face, layout.glyphHeight, layout.atlas.width, layout.atlas.height};
  glyphs.Add("options", settings, sizeof settings);
  translations.AddThisProgram();
  translations.Add("image", checked.set.image.data(), checked.set.image.size());
  translations.Add("level", options.best ? "best" : "default");
  into.Add("module", module.data(), module.size());
  return {glyphs.Digest(), translations.Digest(), into.Digest()};
}

}  // namespace

int RunBuild(BuildOptions& options) {
  TakeDefaultFontsUnlessGiven(&options.check);
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
  paths.binaryOutputs = {options.output, options.stamp};
  CheckCommandPaths(paths);
  ResolveLayoutSources(options.layout, &options.check);
  const std::vector<uint8_t> module = ReadFileBytes(options.module);

  // One check of the set, as pack-text and pack-font make it: lines are measured with the glyphs
  // that the font gives at the module's 'M' height, the very ones built below.
  const CheckedTranslations checked = CheckBeforeBuild(files, options.check);
  const FontFiles fonts = options.check.fonts();
  const char* const plural = files.size() == 1 ? "" : "s";

  PartDigests digests, recorded;
  std::vector<PeResource> before;
  if (!options.stamp.empty()) {
    digests = DigestParts(options, checked, fonts, module);
    const std::string record = RecordedDigest(options.stamp, {options.output});
    if (record == digests.Joined()) {
      std::printf("up to date: %s from %zu file%s: %zu records\n", options.output.c_str(), files.size(), plural,
                  checked.set.records());
      return kExitDone;
    }
    std::istringstream(record) >> recorded.glyphs >> recorded.translations >> recorded.module;
    if (!record.empty()) before = ReadPeResources(ReadFileBytes(options.output));
  }
  const bool glyphsAsBefore = !before.empty() && recorded.glyphs == digests.glyphs;
  const bool translationsAsBefore = !before.empty() && recorded.translations == digests.translations;

  const GlyphPart glyphs = glyphsAsBefore ? GlyphsBuiltBefore(before, options.output)
                                          : DrawGlyphs(fonts, checked.glyphs, options.check.layout);
  SetResources set;
  set.glyphTable = glyphs.table;
  set.atlas = glyphs.atlas;
  set.translations = translationsAsBefore
                         ? RequireModuleResource(before, kTranslationResourceId, options.output)
                         : PackTranslationResource(checked.set.image, 0, kTranslationWindowSize,
                                                   options.best ? lzx::CompressionLevel::kBest
                                                                : lzx::CompressionLevel::kDefault);
  const std::vector<uint8_t> built = RebuildModule(module, options.module, set);
  WriteFileAtomically(options.output, built);
  if (!options.stamp.empty()) WriteStamp(options.stamp, digests.Joined(), {options.output});
  std::printf("built %s (%zu bytes) from %zu file%s: %zu records, %zu glyphs%s, 'M' %d px, %s atlas\n",
              options.output.c_str(), built.size(), files.size(), plural, checked.set.records(), glyphs.glyphs,
              glyphsAsBefore ? " (as drawn before)" : "", glyphs.height, DescribeAtlasSize(glyphs.atlasSize).c_str());
  for (size_t i = 0; i < glyphs.fromFallbacks.size(); ++i) {
    if (glyphs.fromFallbacks[i] > 0) {
      std::printf("%zu glyph%s from the fallback font %s\n", glyphs.fromFallbacks[i],
                  glyphs.fromFallbacks[i] == 1 ? "" : "s", fonts.fallbacks[i].c_str());
    }
  }
  if (options.check.layout.glyphHeight == 0 && glyphs.height != kReferenceGlyphRows) {
    std::printf("the glyphs do not fit at 'M' %d px: chose %d px, the largest that fits\n", kReferenceGlyphRows,
                glyphs.height);
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
  command->get_option("--font")->description(
      "TTF, OTF or TTC font file rasterised into the atlas (default: WenQuanYi Micro Hei, then DejaVu Sans for "
      "what it lacks, beside the program)");
  command->add_option("--stamp", options->stamp,
                      "a record of what the output was made from: a part (glyphs, translations) made of what it "
                      "names is taken from the output as it was written then, and nothing is written when all are");
  AddLayoutOptions(command, &options->check, &options->layout, true);
  // Lines are measured with the glyph table the build makes, never another.
  command->remove_option(command->get_option("--glyphs"));
  command->remove_option(command->get_option("--dll"));
}

}  // namespace vykcn::tool

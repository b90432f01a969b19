#include "commands/preview_command.h"

#include <cstdio>
#include <set>

#include "checks/layout_checks.h"
#include "common/command_error.h"
#include "commands/layout_options.h"
#include "commands/repeated_options.h"
#include "common/code_points.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "font_building/atlas_file.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "formats/glyph_table.h"
#include "formats/resource_ids.h"
#include "module_reading/glyph_table_file.h"
#include "module_reading/module_translations.h"
#include "module_reading/pe_resources.h"
#include "rendering/atlas_picture.h"
#include "rendering/host_glyphs.h"
#include "rendering/line_breaking.h"
#include "rendering/text_renderer.h"

namespace vykcn::tool {
namespace {

struct FontResources {
  std::vector<uint8_t> glyphTable;
  std::vector<uint8_t> atlas;
  std::vector<std::string> sampleTexts;
};

// The DLL's translations as the module loads them.
ModuleTranslations RequireModuleTranslations(const std::vector<PeResource>& resources, const std::string& dll) {
  ModuleTranslations translations =
      DecodeModuleTranslations(RequireModuleResource(resources, kTranslationResourceId, dll));
  if (!translations.loaded) throw CommandError(dll + ": resource 102: " + translations.problem);
  return translations;
}

// The glyph table and atlas that pack-font would build from the fonts, at the size it would choose
// (or --glyph-height): for the set's characters with --translations, else for the text's (with
// ASCII and the Latin extras). Characters no font has are left out, to be reported as missing.
FontResources BuildFontResources(const PreviewOptions& options) {
  const FontFiles fonts = options.font.fonts();
  GlyphCharset charset = BuildGlyphCharset({options.text});
  std::set<uint16_t> codes;
  {
    const FontChain chain(fonts);
    for (uint16_t code : charset.codes) {
      if (code == 0x7F || chain.HasGlyph(code)) codes.insert(code);
    }
    for (uint16_t code : LatinExtras()) {
      if (chain.HasGlyph(code)) codes.insert(code);
    }
  }
  if (!options.translations.empty()) {
    const GlyphCharset set = CheckTranslations(options.translations, options.font).glyphs;
    codes.insert(set.codes.begin(), set.codes.end());
  }
  charset.codes.assign(codes.begin(), codes.end());
  charset.unsupported.clear();
  FontPackOptions packOptions;
  packOptions.atlas = options.font.layout.atlas;
  packOptions.glyphHeight = options.font.layout.glyphHeight;
  const FontPack pack = BuildFontPack(fonts, charset, packOptions);
  FontResources font;
  font.glyphTable = SerializeGlyphTable(pack.records);
  font.atlas = BuildAtlasFile(EncodeWhiteBc3(pack.coverage.data(), pack.atlas.width, pack.atlas.height), pack.atlas);
  return font;
}

FontResources LoadFontResources(const PreviewOptions& options) {
  if (!options.font.fontPath.empty()) return BuildFontResources(options);
  FontResources font;
  if (options.dll.empty()) {
    font.glyphTable = ReadFileBytes(options.glyphs);
    font.atlas = ReadFileBytes(options.atlas);
    return font;
  }
  const std::vector<PeResource> resources = ReadPeResources(ReadFileBytes(options.dll));
  font.glyphTable = RequireModuleResource(resources, kGlyphTableResourceId, options.dll);
  font.atlas = RequireModuleResource(resources, kFontAtlasResourceId, options.dll);
  if (options.samples > 0) {
    const ModuleTranslations translations = RequireModuleTranslations(resources, options.dll);
    for (const auto& record : translations.records) {
      if (font.sampleTexts.size() == static_cast<size_t>(options.samples)) break;
      font.sampleTexts.push_back(record.second);
    }
  }
  return font;
}

constexpr int kMaxSamples = 1000;
constexpr int kWidestWrapWidth = 1600;  // --widest without --max-width: about a screen's width
constexpr size_t kMissingListed = 20;

std::string ListMissing(const std::vector<uint32_t>& missing) {
  std::string list;
  for (size_t i = 0; i < missing.size() && i < kMissingListed; ++i) list += " " + FormatCodePoint(missing[i]);
  if (missing.size() > kMissingListed) list += " and " + std::to_string(missing.size() - kMissingListed) + " more";
  return list;
}

// The atlas as it is, and how much of it the table's rectangles (with their borders) take.
void DrawAtlasPicture(const FontResources& font, const PreviewOptions& options) {
  if (!options.text.empty() || options.samples > 0 || options.widest > 0) {
    throw CommandError("--draw-atlas draws no text");
  }
  const AtlasImage atlas =
      DecodeAtlasFile(font.atlas, options.dll.empty() ? options.atlas : options.dll + " resource 103");
  const std::vector<GlyphRecord> records = ParseGlyphTable(font.glyphTable.data(), font.glyphTable.size());
  double used = 0;
  for (const GlyphRecord& r : records) used += double(r.width + 1) * (r.height + 1);
  WriteFileAtomically(options.output, EncodePng(DrawAtlas(atlas, TextStyle())));
  std::printf("%s: the %d x %d atlas, %zu glyphs, %.1f%% of it in glyph rectangles and their borders\n",
              options.output.c_str(), atlas.size.width, atlas.size.height, records.size(),
              100.0 * used / (double(atlas.size.width) * atlas.size.height));
}

// The N widest lines of the translators' files, or of the DLL's own translations (known by their
// hashes), each under a label with its width and place.
std::string WidestLinesText(const PreviewOptions& options, const std::vector<GlyphRecord>& records) {
  const HostGlyphs glyphs(records, options.height);
  std::vector<MeasuredLine> widest;
  if (!options.translations.empty()) {
    CheckOptions check;
    check.layout.measure = true;
    check.layout.widestCount = static_cast<size_t>(options.widest);
    check.layout.hostHeight = options.height;
    check.layout.table = records;
    widest = CheckTranslations(options.translations, check).widest;
  } else {
    if (options.dll.empty()) throw CommandError("--widest needs --dll, or translators' files with --translations");
    const ModuleTranslations translations =
        RequireModuleTranslations(ReadPeResources(ReadFileBytes(options.dll)), options.dll);
    std::vector<MeasuredLine> lines;
    for (const auto& [hash, text] : translations.records) {
      char place[24];
      std::snprintf(place, sizeof place, "0x%08X", static_cast<unsigned>(hash));
      MeasureLines(glyphs, place, text, &lines);
    }
    widest = WidestLines(std::move(lines), static_cast<size_t>(options.widest));
  }
  std::string text;
  for (const MeasuredLine& line : widest) {
    text += (text.empty() ? "" : "\n") + std::to_string(line.width) + " px  " + line.place +
            (line.line > 1 ? " line " + std::to_string(line.line) : "") + "\n" +
            (options.maxWidth > 0 ? WrapText(line.text, glyphs, options.maxWidth) : line.text);
  }
  return text;
}

void Preview(PreviewOptions options) {
  const bool files = !options.glyphs.empty() || !options.atlas.empty();
  if (!options.font.fontPath.empty() && (files || !options.dll.empty())) {
    throw CommandError("--font builds the glyph table and atlas: give it without --dll, --glyphs and --atlas");
  }
  if (options.font.fontPath.empty() && options.dll.empty() && (options.glyphs.empty() || options.atlas.empty())) {
    throw CommandError("preview needs --dll, both --glyphs and --atlas, or --font");
  }
  ResolveLayoutSources(options.fontLayout, &options.font);
  if (options.samples < 0 || options.samples > kMaxSamples) {
    throw CommandError("--samples must be 0 to " + std::to_string(kMaxSamples) + " (the picture would be too large)");
  }
  if (options.samples > 0 && options.dll.empty()) throw CommandError("--samples needs --dll");
  if (options.height < 1 || options.height > 255) throw CommandError("--height must be 1 to 255 pixels");
  if (options.widest > 0 && options.maxWidth == 0) options.maxWidth = kWidestWrapWidth;
  const FontResources font = LoadFontResources(options);
  if (options.drawAtlas) {
    DrawAtlasPicture(font, options);
    return;
  }
  const std::vector<GlyphRecord> records = ParseGlyphTable(font.glyphTable.data(), font.glyphTable.size());
  RequireGlyphTable(font.glyphTable, records, options.dll.empty() ? options.glyphs : options.dll + " resource 101");
  std::string text = options.text;
  for (const std::string& sample : font.sampleTexts) text += (text.empty() ? "" : "\n") + sample;
  if (options.maxWidth > 0) text = WrapText(text, HostGlyphs(records, options.height), options.maxWidth);
  // The widest lines come wrapped already, under labels that are not.
  if (options.widest > 0) text += (text.empty() ? "" : "\n") + WidestLinesText(options, records);
  if (text.empty()) throw CommandError("nothing to draw: give a TEXT, --samples or --widest");

  const std::string atlasName = options.dll.empty() ? options.atlas : options.dll + " resource 103";
  const AtlasImage atlas = DecodeAtlasFile(font.atlas, atlasName);
  TextStyle style;
  style.hostReferenceHeight = options.height;
  style.boxWidth = options.maxWidth;
  // A widest line may be one that never breaks (a list of names without spaces): it is cut.
  style.clipWideLines = options.widest > 0;
  const TextImage image = RenderText(records, atlas, text, style);
  if (!image.missing.empty() && !options.allowMissing) {
    throw CommandError("no glyph for " + std::to_string(image.missing.size()) + " characters:" +
                       ListMissing(image.missing) + " (--allow-missing draws them as spaces)");
  }
  WriteFileAtomically(options.output, EncodePng(image));

  std::printf("%s: %d x %d pixels, 'M' %d px high\n", options.output.c_str(), image.width, image.height, options.height);
  if (!image.missing.empty()) {
    std::fprintf(stderr, "vykcn-tool: no glyph for %zu characters:%s (drawn as spaces)\n", image.missing.size(),
                 ListMissing(image.missing).c_str());
  }
}

}  // namespace

void AddPreviewOptions(CLI::App* command, PreviewOptions* options) {
  auto* dll = command->add_option("--dll", options->dll, "take the glyph table and atlas from a built vykcn.dll");
  auto* glyphs = command->add_option("--glyphs", options->glyphs, "glyph table (resource 101)");
  auto* atlas = command->add_option("--atlas", options->atlas, "DDS font atlas (resource 103)");
  dll->excludes(glyphs)->excludes(atlas);
  command->add_option("--height", options->height, "the host font's 'M' height in pixels (default 25)");
  command->add_option("--samples", options->samples, "also draw the first N translations of the DLL, one per line (N <= 1000)");
  command->add_flag("--allow-missing", options->allowMissing, "draw characters without a glyph as spaces instead of failing");
  command->add_flag("--draw-atlas", options->drawAtlas,
                    "draw the atlas itself, white glyphs on a dark ground, instead of a text");
  command->add_option("--max-width", options->maxWidth,
                      "break lines as pack-text --wrap does, and draw the box's edge at PX pixels (--widest: 1600 "
                      "unless given)")
      ->check(CLI::Range(1, 1 << 16));
  command->add_option("--widest", options->widest,
                      "draw the N widest lines of the DLL's translations (or of --translations), each with its width "
                      "and place, broken at --max-width; a line that still does not fit the picture is cut, and ends "
                      "in a red arrow")
      ->check(CLI::Range(1, kMaxSamples));
  AddFilesOption(command, "--translations", &options->translations,
                 "a translators' file for --widest, as pack-text reads it (with --font: whose characters the "
                 "table holds, as pack-font builds it)");
  AddFontOptions(command, &options->font);
  command->add_option("-o,--output", options->output, "PNG file to write")->required();
  command->add_option("text", options->text, "UTF-8 text; line breaks on U+000A");
}

int RunPreview(PreviewOptions& options) {
  CommandPaths paths{{options.dll, options.glyphs, options.atlas, options.font.fontPath}, {}, {options.output}};
  paths.inputs.insert(paths.inputs.end(), options.translations.begin(), options.translations.end());
  paths.inputs.insert(paths.inputs.end(), options.font.fallbackFonts.begin(), options.font.fallbackFonts.end());
  CheckCommandPaths(paths);
  Preview(options);
  return kExitDone;
}

}  // namespace vykcn::tool

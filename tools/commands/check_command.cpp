// vykcn-tool check: every problem of a set of translators' files in one run, then what the set
// holds. Exit 1 when there is an error, as pack-text and pack-font would then refuse the set.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>

#include "base/utf8.h"
#include "checks/atlas_fit.h"
#include "checks/translation_checks.h"
#include "commands/command_registry.h"
#include "common/path_checks.h"
#include "font_building/glyph_charset.h"

namespace vykcn::tool {
namespace {

struct CheckCommandOptions {
  std::vector<std::string> files;
  std::string font;
  bool laterWins = false;
};

void PrintSummary(const CheckedTranslations& checked, const CheckCommandOptions& options) {
  for (const FileSummary& file : checked.files) {
    std::printf("%s: %zu entries: %zu used, %zu fuzzy, %zu untranslated, %zu obsolete, %zu plural, %zu with context",
                file.path.c_str(), file.entries, file.used, file.fuzzy, file.untranslated, file.obsolete, file.plural,
                file.withContext);
    if (file.overridden > 0) std::printf(", %zu overridden", file.overridden);
    std::printf("\n");
  }
  std::vector<std::string> texts;
  std::set<uint32_t> characters;
  std::vector<uint32_t> codes;
  for (const TextEntry& entry : checked.used) {
    texts.push_back(entry.translation);
    if (DecodeUtf8(entry.translation, &codes)) characters.insert(codes.begin(), codes.end());
  }
  characters.erase('\t');
  characters.erase('\n');
  std::printf("records: %zu, distinct characters: %zu\n", checked.records, characters.size());

  const size_t errors = checked.errors();
  if (options.font.empty()) {
    std::printf("atlas: not checked (give --font)\n");
  } else if (errors > 0) {
    std::printf("atlas: not checked (fix the errors first)\n");
  } else {
    const AtlasFit fit = FitAtlas(options.font, BuildGlyphCharset(texts));
    if (fit.fits) {
      std::printf("atlas: the glyphs fit at %d px\n", fit.referenceRows);
    } else if (fit.largestRows > 0) {
      std::printf("atlas: the glyphs do not fit at %d px; they would at %d px\n", fit.referenceRows, fit.largestRows);
    } else {
      std::printf("atlas: the glyphs do not fit at %d px, nor at any usable size\n", fit.referenceRows);
    }
  }
  std::printf("%zu errors, %zu warnings\n", errors, CountFindings(checked.findings, Severity::kWarning));
}

void AddCheckCommand(CLI::App& app) {
  auto options = std::make_shared<CheckCommandOptions>();
  CLI::App* command = app.add_subcommand(
      "check", "Report every problem of .po and .csv files at once (FILE:LINE: error|warning: ...), then a summary");
  command->add_option("FILE", options->files, "translators' files, in the order pack-text would take them")
      ->required();
  command->add_option("--font", options->font, "also check that this font has every character, and the atlas fit");
  command->add_flag("--later-wins", options->laterWins,
                    "a file named later overrides earlier ones for the same host text or hash (each override is listed)");
  command->callback([options] {
    CommandPaths paths{options->files, {}};
    paths.inputs.push_back(options->font);
    CheckCommandPaths(paths);
    CheckOptions checkOptions;
    checkOptions.laterWins = options->laterWins;
    checkOptions.fontPath = options->font;
    const CheckedTranslations checked = CheckTranslations(options->files, checkOptions);
    PrintFindings(stdout, checked.findings, SIZE_MAX);
    PrintSummary(checked, *options);
    std::fflush(stdout);
    if (checked.errors() > 0) throw CommandError(std::to_string(checked.errors()) + " errors");
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("check", AddCheckCommand);

}  // namespace vykcn::tool

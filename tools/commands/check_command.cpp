#include "commands/check_command.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "checks/translation_checks.h"
#include "checks/work_reports.h"
#include "common/command_error.h"
#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/path_checks.h"
#include "font_building/atlas_file.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {
namespace {

// The atlas fit as pack-font finds it; when the glyphs fit no height, an error above says so.
void ReportAtlasFit(std::FILE* out, const CheckedTranslations& checked, const CheckCommandOptions& options) {
  if (!checked.font) return;
  const size_t glyphs = checked.font->records.size();
  const int rows = checked.font->glyphHeight;
  if (options.check.layout.glyphHeight != 0) {
    std::fprintf(out, "atlas: %zu glyphs fit at %d px (--glyph-height)\n", glyphs, rows);
  } else if (rows == kReferenceGlyphRows) {
    std::fprintf(out, "atlas: %zu glyphs fit at %d px\n", glyphs, rows);
  } else {
    std::fprintf(out, "atlas: %zu glyphs do not fit at %d px; they would at %d px\n", glyphs, kReferenceGlyphRows, rows);
  }
}

void PrintSummary(std::FILE* out, const CheckedTranslations& checked, const CheckCommandOptions& options) {
  for (const FileSummary& file : checked.set.summaries) {
    const std::string others = EntriesBesideRecords(file);
    std::fprintf(out, "%s: %zu entr%s: %zu record%s%s%s\n", file.path.c_str(), file.entries,
                 file.entries == 1 ? "y" : "ies", file.records, file.records == 1 ? "" : "s", others.empty() ? "" : ", ",
                 others.c_str());
  }
  std::fprintf(out, "records: %zu, distinct characters: %zu\n", checked.set.records(), DistinctCharacters(checked));
  if (options.statistics) PrintStatistics(out, checked);
  if (!checked.widest.empty()) {
    std::fprintf(out, "widest lines at 'M' %d px:\n", options.check.layout.hostHeight);
    for (const MeasuredLine& line : checked.widest) {
      std::fprintf(out, "  %5lld px  %s (line %d): %s\n", static_cast<long long>(line.width), line.place.c_str(), line.line,
                  QuotedText(line.text).c_str());
    }
    std::fprintf(out, "99%% of the lines are at most %lld px wide\n", static_cast<long long>(checked.widthPercentile99));
  }

  const size_t errors = checked.errors();
  ReportAtlasFit(out, checked, options);
  const size_t warnings = CountFindings(checked.findings, Severity::kWarning);
  std::fprintf(out, "%zu error%s, %zu warning%s\n", errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
  std::fflush(out);
  if (errors > 0) throw CommandError(std::to_string(errors) + (errors == 1 ? " error" : " errors"));
}

}  // namespace

void AddCheckOptions(CLI::App* command, CheckCommandOptions* options) {
  command->add_option("FILE", options->files,
                      "translators' files, in the order pack-text would take them; a folder, its .po and .csv files "
                      "and its subfolders', in path order, as make takes them")
      ->required();
  AddSetOptions(command, &options->check);
  AddFontOptions(command, &options->check);
  AddExtraCharsOption(command, &options->check);
  AddLayoutOptions(command, &options->check, &options->layout, true);
  command->add_option_function<std::string>(
      "--list",
      [list = &options->list](const std::string& value) {
        if (!ParseWorkList(value, list)) {
          throw CLI::ValidationError("--list", "'" + value + "' is none of untranslated, fuzzy, all");
        }
      },
      "untranslated|fuzzy|all: list those entries, FILE:LINE: untranslated: \"host text\", alone on standard "
      "output (the findings and the summary go to standard error)");
  command->add_flag("--statistics", options->statistics,
                    "count translated, fuzzy and untranslated messages per file and for the set, as msgfmt does");
}

int RunCheck(CheckCommandOptions& options) {
  CommandPaths paths;
  options.files = TranslatorsFiles(options.files, &paths.problems);
  paths.inputs = options.files;
  paths.inputs.push_back(options.check.fontPath);
  paths.inputs.insert(paths.inputs.end(), options.check.fallbackFonts.begin(), options.check.fallbackFonts.end());
  paths.inputs.push_back(options.check.extraCharsPath);
  paths.inputs.insert(paths.inputs.end(), options.check.hostTextFiles.begin(), options.check.hostTextFiles.end());
  paths.inputs.push_back(options.layout.glyphs);
  paths.inputs.push_back(options.layout.dll);
  CheckCommandPaths(paths);
  // make's fonts for what is not given (refused in one line when they are not beside the program).
  TakeDefaultFontsUnlessGiven(&options.check);
  ResolveLayoutSources(options.layout, &options.check);
  options.check.arrangeFont = true;
  const CheckedTranslations checked = CheckTranslations(options.files, options.check);
  // A list is the output: the findings and the summary go with the other messages.
  std::FILE* const report = options.list == WorkList::kNone ? stdout : stderr;
  PrintWorkList(stdout, checked, options.list);
  PrintFindings(report, checked.findings, SIZE_MAX);
  PrintSummary(report, checked, options);
  return kExitDone;
}

}  // namespace vykcn::tool

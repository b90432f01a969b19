// vykcn-tool check: every problem of a set of translators' files in one run, then what the set
// holds. Exit 1 when there is an error, as pack-text and pack-font would then refuse the set.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "checks/atlas_fit.h"
#include "checks/translation_checks.h"
#include "checks/work_reports.h"
#include "commands/command_registry.h"
#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/path_checks.h"
#include "font_building/atlas_file.h"

namespace vykcn::tool {
namespace {

struct CheckCommandOptions {
  std::vector<std::string> files;
  CheckOptions check;
  LayoutSources layout;
  WorkList list = WorkList::kNone;
  bool statistics = false;
};

// The atlas fit as pack-font would find it with its default options; a set that fits at no usable
// height is an error, since pack-font would refuse it.
void ReportAtlasFit(const CheckedTranslations& checked, const CheckCommandOptions& options, size_t* errors) {
  if (options.check.fontPath.empty()) {
    std::printf("atlas: not checked (give --font)\n");
    return;
  }
  if (*errors > 0) {
    std::printf("atlas: not checked (fix the errors first)\n");
    return;
  }
  const AtlasSize atlas = options.check.layout.atlas;
  const AtlasFit fit = FitAtlas(options.check.fonts(), checked.glyphs, atlas);
  if (fit.fits) {
    std::printf("atlas: %zu glyphs fit at %d px\n", checked.glyphs.codes.size(), fit.referenceRows);
  } else if (fit.largestRows > 0) {
    std::printf("atlas: %zu glyphs do not fit at %d px; they would at %d px\n", checked.glyphs.codes.size(),
                fit.referenceRows, fit.largestRows);
  } else {
    std::printf("%s\n", FormatFinding({-1, options.check.fontPath, 0, Severity::kError,
                                       std::to_string(checked.glyphs.codes.size()) +
                                           " glyphs fit the " + DescribeAtlasSize(atlas) +
                                           " atlas at no 'M' height from 25 down to 12 px (--atlas-size "
                                           "4096x2048 makes room)"})
                           .c_str());
    ++*errors;
  }
}

void PrintSummary(const CheckedTranslations& checked, const CheckCommandOptions& options) {
  for (const FileSummary& file : checked.files) {
    const std::string others = EntriesBesideRecords(file);
    std::printf("%s: %zu entr%s: %zu record%s%s%s\n", file.path.c_str(), file.entries, file.entries == 1 ? "y" : "ies",
                file.records, file.records == 1 ? "" : "s", others.empty() ? "" : ", ", others.c_str());
  }
  std::printf("records: %zu, distinct characters: %zu\n", checked.records, DistinctCharacters(checked));
  if (options.statistics) PrintStatistics(stdout, checked);
  if (!checked.widest.empty()) {
    std::printf("widest lines at 'M' %d px:\n", options.check.layout.hostHeight);
    for (const MeasuredLine& line : checked.widest) {
      std::printf("  %5lld px  %s (line %d): %s\n", static_cast<long long>(line.width), line.place.c_str(), line.line,
                  QuotedText(line.text).c_str());
    }
    std::printf("99%% of the lines are at most %lld px wide\n", static_cast<long long>(checked.widthPercentile99));
  }

  size_t errors = checked.errors();
  ReportAtlasFit(checked, options, &errors);
  std::printf("%zu errors, %zu warnings\n", errors, CountFindings(checked.findings, Severity::kWarning));
  std::fflush(stdout);
  if (errors > 0) throw CommandError(std::to_string(errors) + (errors == 1 ? " error" : " errors"));
}

void AddCheckCommand(CLI::App& app) {
  auto options = std::make_shared<CheckCommandOptions>();
  CLI::App* command = app.add_subcommand(
      "check", "Report every problem of .po and .csv files at once (FILE:LINE: error|warning: ...), then a summary");
  command->add_option("FILE", options->files, "translators' files, in the order pack-text would take them")
      ->required();
  AddSetOptions(command, &options->check);
  AddFontOptions(command, &options->check);
  AddExtraCharsOption(command, &options->check);
  AddLayoutOptions(command, &options->check, &options->layout, false);
  command->add_option_function<std::string>(
      "--list",
      [options](const std::string& value) {
        if (!ParseWorkList(value, &options->list)) {
          throw CLI::ValidationError("--list", "'" + value + "' is none of untranslated, fuzzy, all");
        }
      },
      "untranslated|fuzzy|all: list those entries, FILE:LINE: untranslated: \"host text\"");
  command->add_flag("--statistics", options->statistics,
                    "count translated, fuzzy and untranslated messages per file and for the set, as msgfmt does");
  command->callback([options] {
    CommandPaths paths{options->files, {}};
    paths.inputs.push_back(options->check.fontPath);
    paths.inputs.insert(paths.inputs.end(), options->check.fallbackFonts.begin(), options->check.fallbackFonts.end());
    paths.inputs.push_back(options->check.extraCharsPath);
    paths.inputs.insert(paths.inputs.end(), options->check.hostTextFiles.begin(), options->check.hostTextFiles.end());
    paths.inputs.push_back(options->layout.glyphs);
    paths.inputs.push_back(options->layout.dll);
    CheckCommandPaths(paths);
    ResolveLayoutSources(options->layout, &options->check);
    const CheckedTranslations checked = CheckTranslations(options->files, options->check);
    PrintFindings(stdout, checked.findings, SIZE_MAX);
    PrintWorkList(stdout, checked, options->list);
    PrintSummary(checked, *options);
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("check", AddCheckCommand);

}  // namespace vykcn::tool

// vykcn-tool pack-text: translators' .po/.csv files in, the translation resource out.
#include <cstdio>
#include <memory>

#include "commands/command_registry.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "common/translation_packing.h"
#include "checks/build_guard.h"
#include "text_sources/translation_image_builder.h"

namespace vykcn::tool {

namespace {

void AddPackTextCommand(CLI::App& app) {
  struct Options {
    std::vector<std::string> files;
    std::string output;
    bool laterWins = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("pack-text", "Build the translation resource from .po and .csv files");
  command->add_option("FILE", options->files,
                      "translators' files: .po, or .csv with a header row naming \"source\" and \"translation\" columns; several merge")
      ->required();
  command->add_option("-o,--output", options->output, "translation resource to write")->required();
  command->add_flag("--later-wins", options->laterWins,
                    "a file named later overrides earlier ones for the same host text or hash (each override is listed)");
  command->callback([options] {
    CheckCommandPaths({options->files, {options->output}});
    CheckOptions checkOptions;
    checkOptions.laterWins = options->laterWins;
    const CheckedTranslations checked = CheckBeforeBuild(options->files, checkOptions);
    const TranslationImageBuild build = BuildTranslationImage(checked.used);
    const std::vector<uint8_t> resource = PackTranslationResource(build.image);
    WriteFileAtomically(options->output, resource);
    FileSummary total;
    for (const FileSummary& file : checked.files) {
      total.entries += file.entries;
      total.fuzzy += file.fuzzy;
      total.untranslated += file.untranslated;
      total.obsolete += file.obsolete;
      total.overridden += file.overridden;
    }
    std::printf("records: %zu from %zu entries (%zu fuzzy, %zu untranslated, %zu obsolete skipped", build.records,
                total.entries, total.fuzzy, total.untranslated, total.obsolete);
    if (options->laterWins) std::printf("; %zu overridden", total.overridden);
    std::printf(")\nimage: %zu bytes, compressed: %zu bytes, ratio: %.4f\n", build.image.size(), resource.size(),
                static_cast<double>(resource.size()) / static_cast<double>(build.image.size()));
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("pack-text", AddPackTextCommand);

}  // namespace vykcn::tool

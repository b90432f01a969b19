#include "commands/pack_text_command.h"

#include <cstdio>

#include "common/command_error.h"
#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/build_stamp.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "common/translation_packing.h"
#include "checks/build_guard.h"
#include "checks/work_reports.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {

namespace {

lzx::CompressionLevel Level(bool best, bool store) {
  return best ? lzx::CompressionLevel::kBest : store ? lzx::CompressionLevel::kStore : lzx::CompressionLevel::kDefault;
}

const char* LevelName(bool best, bool store) { return best ? "best" : store ? "store" : "default"; }

}  // namespace

void AddPackTextOptions(CLI::App* command, PackTextOptions* options) {
  command->add_option("FILE", options->files,
                      "translators' files: .po, or .csv with a header row naming \"source\" and \"translation\" columns; several "
                      "merge; a folder, its .po and .csv files and its subfolders', in path order, as make takes them")
      ->required();
  command->add_option("-o,--output", options->output, "translation resource to write")->required();
  command->add_option("--stamp", options->stamp,
                      "a record of what the output was made from: when it names this very image (and tool), and the "
                      "output is as made then, nothing is compressed or written");
  CLI::Option* best = command->add_flag("--best", options->best,
                                        "compress at the best level: smaller and slower, for the build a team ships "
                                        "(default: as fast as the peer codecs)");
  command->add_flag("--store", options->store,
                    "store rather than compress (still LZX, read by the module): fastest, about the image's size, for "
                    "the test build's reloads")
      ->excludes(best);
  AddSetOptions(command, &options->check);
  AddFontOptions(command, &options->check);
  AddLayoutOptions(command, &options->check, &options->layout, true);
}

int RunPackText(PackTextOptions& options) {
  CommandPaths paths;
  options.files = TranslatorsFiles(options.files, &paths.problems);
  paths.inputs = options.files;
  paths.inputs.insert(paths.inputs.end(), options.check.hostTextFiles.begin(), options.check.hostTextFiles.end());
  paths.inputs.insert(paths.inputs.end(), {options.check.fontPath, options.layout.glyphs, options.layout.dll});
  paths.inputs.insert(paths.inputs.end(), options.check.fallbackFonts.begin(), options.check.fallbackFonts.end());
  paths.binaryOutputs.push_back(options.output);
  paths.binaryOutputs.push_back(options.stamp);
  CheckCommandPaths(paths);
  ResolveLayoutSources(options.layout, &options.check);
  const CheckedTranslations checked = CheckBeforeBuild(options.files, options.check);
  BuildStamp inputs;
  if (!options.stamp.empty()) {
    inputs.AddThisProgram();
    inputs.Add("image", checked.set.image.data(), checked.set.image.size());
    inputs.Add("level", LevelName(options.best, options.store));
    if (StampIsCurrent(options.stamp, inputs.Digest(), {options.output})) {
      std::printf("records: %zu, up to date in %s\n", checked.set.records(), options.output.c_str());
      return kExitDone;
    }
  }
  const std::vector<uint8_t> resource =
      PackTranslationResource(checked.set.image, 0, kTranslationWindowSize,
                              Level(options.best, options.store));
  WriteFileAtomically(options.output, resource);
  if (!options.stamp.empty()) WriteStamp(options.stamp, inputs.Digest(), {options.output});
  const FileSummary total = SummedFiles(checked.set.summaries);
  const std::string others = EntriesBesideRecords(total);
  std::printf("records: %zu from %zu entr%s%s%s%s", checked.set.records(), total.entries, total.entries == 1 ? "y" : "ies",
              others.empty() ? "" : " (", others.c_str(), others.empty() ? "" : ")");
  std::printf("\nimage: %zu bytes, compressed at the %s level: %zu bytes, ratio: %.4f\n", checked.set.image.size(),
              LevelName(options.best, options.store), resource.size(),
              static_cast<double>(resource.size()) / static_cast<double>(checked.set.image.size()));
  return kExitDone;
}

}  // namespace vykcn::tool

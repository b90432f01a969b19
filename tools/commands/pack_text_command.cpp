// vykcn-tool pack-text: translators' .po/.csv files in, the translation resource out.
#include <cstdio>
#include <memory>

#include "commands/command_registry.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "formats/translation_resource.h"
#include "text_sources/text_sources.h"
#include "text_sources/translation_image_builder.h"

namespace vykcn::tool {

namespace {

void AddPackTextCommand(CLI::App& app) {
  struct Options {
    std::vector<std::string> files;
    std::string output;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("pack-text", "Build the translation resource from .po and .csv files");
  command->add_option("FILE", options->files,
                      "translators' files: .po, or .csv with a header row naming \"source\" and \"translation\" columns; several merge")
      ->required();
  command->add_option("-o,--output", options->output, "translation resource to write")->required();
  command->callback([options] {
    CheckCommandPaths({options->files, {options->output}});
    const TranslationImageBuild build = BuildTranslationImage(ReadTextSources(options->files));
    const std::vector<uint8_t> resource = PackTranslationResource(build.image);
    WriteFileAtomically(options->output, resource);
    std::printf("records: %zu, distinct hashes: %zu, image: %zu bytes, compressed: %zu bytes, ratio: %.4f\n",
                build.records, build.distinctHashes, build.image.size(), resource.size(),
                static_cast<double>(resource.size()) / static_cast<double>(build.image.size()));
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("pack-text", AddPackTextCommand);

}  // namespace vykcn::tool

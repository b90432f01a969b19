// vykcn-tool hash: the SubtitleHash under which a host text's translation is stored.
#include <cstdio>
#include <memory>

#include "commands/command_registry.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {

namespace {

void AddHashCommand(CLI::App& app) {
  struct Options {
    std::string text;
    std::string file;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("hash", "Print the SubtitleHash of a text's bytes");
  auto* text = command->add_option("text", options->text, "the host text, byte for byte");
  auto* file = command->add_option("--file", options->file, "hash the bytes of this file instead");
  text->excludes(file);
  command->callback([options, text, file] {
    if (!*text && !*file) throw CommandError("hash needs a TEXT or --file FILE");
    CheckCommandPaths({{options->file}, {}});
    uint32_t hash;
    if (*file) {
      const std::vector<uint8_t> bytes = ReadFileBytes(options->file);
      hash = SubtitleHashBytes(bytes.data(), bytes.size());
    } else {
      hash = SubtitleHashBytes(options->text.data(), options->text.size());
    }
    std::printf("0x%08X\n", static_cast<unsigned>(hash));
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("hash", AddHashCommand);

}  // namespace vykcn::tool

// vykcn-tool compress: wraps any file into a translation resource container (size + LZX stream).
#include <cstdio>
#include <memory>

#include "commands/command_registry.h"
#include "common/file_io.h"
#include "formats/translation_resource.h"

namespace vykcn::tool {

namespace {

void AddCompressCommand(CLI::App& app) {
  struct Options {
    uint32_t e8 = 0;
    std::string input;
    std::string output;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("compress", "Compress a file into a resource container (4-byte size + LZX stream)");
  command->add_option("--e8", options->e8, "turn call-instruction (0xE8) translation on with this translation size")
      ->check(CLI::Range(1u, 0x7FFFFFFFu));
  command->add_option("IN", options->input, "file to compress")->required();
  command->add_option("OUT", options->output, "resource to write")->required();
  command->callback([options] {
    const std::vector<uint8_t> input = ReadFileBytes(options->input);
    const std::vector<uint8_t> resource = PackTranslationResource(input, options->e8);
    WriteFileAtomically(options->output, resource);
    std::printf("%zu bytes -> %zu bytes (ratio %.4f)\n", input.size(), resource.size(),
                input.empty() ? 0.0 : static_cast<double>(resource.size()) / static_cast<double>(input.size()));
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("compress", AddCompressCommand);

}  // namespace vykcn::tool

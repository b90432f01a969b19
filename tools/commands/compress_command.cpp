#include "commands/compress_command.h"

#include <cstdio>

#include "commands/window_option.h"
#include "common/command_error.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "common/translation_packing.h"

namespace vykcn::tool {

void AddCompressOptions(CLI::App* command, CompressOptions* options) {
  command->add_option("--e8", options->e8, "turn call-instruction (0xE8) translation on with this translation size")
      ->check(CLI::Range(1u, 0x7FFFFFFFu));
  command->add_flag("--raw", options->raw, "write the bare framed stream, without the 4-byte size");
  command->add_flag("--best", options->best, "compress at the best level: smaller and slower");
  AddWindowOption(command, &options->window);
  command->add_option("IN", options->input, "file to compress")->required();
  command->add_option("OUT", options->output, "resource to write")->required();
}

int RunCompress(CompressOptions& options) {
  CheckCommandPaths({{options.input}, {}, {options.output}});
  const std::vector<uint8_t> input = ReadFileBytes(options.input);
  if (input.size() > UINT32_MAX) throw CommandError(options.input + " is larger than the 4-byte size field allows");
  std::vector<uint8_t> resource = PackTranslationResource(
      input, options.e8, options.window, options.best ? lzx::CompressionLevel::kBest : lzx::CompressionLevel::kDefault);
  if (options.raw) resource.erase(resource.begin(), resource.begin() + kResourceHeaderSize);
  WriteFileAtomically(options.output, resource);
  std::printf("%zu bytes -> %zu bytes (ratio %.4f)\n", input.size(), resource.size(),
              input.empty() ? 0.0 : static_cast<double>(resource.size()) / static_cast<double>(input.size()));
  return kExitDone;
}

}  // namespace vykcn::tool

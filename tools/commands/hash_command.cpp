#include "commands/hash_command.h"

#include <cstdio>

#include "common/command_error.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {

void AddHashOptions(CLI::App* command, HashOptions* options) {
  auto* text = command->add_option("text", options->text, "the host text, byte for byte");
  auto* file = command->add_option("--file", options->file, "hash the bytes of this file instead");
  text->excludes(file);
  options->textGiven = text;
  options->fileGiven = file;
}

int RunHash(HashOptions& options) {
  if (!*options.textGiven && !*options.fileGiven) throw CommandError("hash needs a TEXT or --file FILE");
  CheckCommandPaths({{options.file}, {}});
  uint32_t hash;
  if (*options.fileGiven) {
    const std::vector<uint8_t> bytes = ReadFileBytes(options.file);
    hash = SubtitleHashBytes(bytes.data(), bytes.size());
  } else {
    hash = SubtitleHashBytes(options.text.data(), options.text.size());
  }
  std::printf("0x%08X\n", static_cast<unsigned>(hash));
  return kExitDone;
}

}  // namespace vykcn::tool

#include "commands/find_command.h"

#include <cstdio>
#include <memory>

#include "common/command_error.h"
#include "common/hash_label.h"
#include "common/path_checks.h"
#include "text_sources/po_escape.h"
#include "text_sources/text_sources.h"
#include "text_sources/translators_files.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {
namespace {

constexpr int kNotFound = 1;

// What an entry adds to its place: its host text, and how the game uses it when not as a record.
std::string Described(const TextEntry& entry, bool byTranslation) {
  std::string line = Place(entry) + ": " + QuotedPoText(entry.host);
  if (byTranslation) line += " -> " + QuotedPoText(entry.translation);
  if (entry.translation.empty()) line += " (untranslated)";
  else if (entry.fuzzy) line += " (fuzzy)";
  return line;
}

}  // namespace

int RunFind(FindOptions& options) {
  if (options.hashGiven->count() == 0 && options.textGiven->count() == 0) throw CommandError("find needs --hash 0xHASH or --text TEXT");
  options.byHash = options.hashGiven->count() > 0;
  uint32_t hash = 0;
  if (options.byHash && !ParseHashLabel(options.hash, &hash)) {
    throw CommandError("--hash: '" + options.hash + "' is no hash: write 0x and one to eight hex digits, as the game shows it");
  }
  CommandPaths paths;
  const std::vector<std::string> files = TranslatorsFiles(options.files, &paths.problems);
  paths.inputs = files;
  CheckCommandPaths(paths);
  size_t found = 0;
  for (const std::string& path : files) {
    for (const TextEntry& entry : ReadTextSourceFile(path).entries) {
      const bool host = options.byHash ? SubtitleHashBytes(entry.host.data(), entry.host.size()) == hash
                                         : entry.host == options.text;
      const bool translation = !options.byHash && !host && !entry.translation.empty() && entry.translation == options.text;
      if (!host && !translation) continue;
      std::printf("%s\n", Described(entry, translation).c_str());
      ++found;
    }
  }
  if (found == 0) {
    std::fprintf(stderr, "vykcn-tool: no entry %s in %zu file%s\n",
                 options.byHash ? ("of hash " + HashLabel(hash)).c_str()
                                  : ("with the host text or translation " + QuotedPoText(options.text)).c_str(),
                 files.size(), files.size() == 1 ? "" : "s");
    return kNotFound;
  }
  return kExitDone;
}

void AddFindOptions(CLI::App* command, FindOptions* options) {
  command->add_option("FILE", options->files,
                      "translators' files: .po or .csv; a folder, its .po and .csv files and its subfolders'")
      ->required();
  CLI::Option* hash = command->add_option("--hash", options->hash,
                                          "the hash the test build shows (0x and one to eight hex digits): the entries "
                                          "whose host text has it");
  CLI::Option* text = command->add_option("--text", options->text,
                                          "a text as the game shows it, byte for byte: the entries with it as their "
                                          "host text or as their translation");
  hash->excludes(text);
  options->hashGiven = hash;
  options->textGiven = text;
}

}  // namespace vykcn::tool

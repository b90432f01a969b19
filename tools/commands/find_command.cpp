// vykcn-tool find: where a line seen in the game comes from. The test build shows each line's hash
// on a key (the hash of the host text whose record it shows, which the fallback may have shortened);
// find names the entries that make that record, or those of a text as the game shows it. Exits as
// grep does: 0 found, 1 not found, 2 trouble.
#include <cstdio>
#include <memory>

#include "commands/command_registry.h"
#include "common/hash_label.h"
#include "common/path_checks.h"
#include "text_sources/po_escape.h"
#include "text_sources/text_sources.h"
#include "text_sources/translators_files.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {
namespace {

constexpr int kNotFound = 1;
constexpr int kTrouble = 2;

struct FindOptions {
  std::vector<std::string> files;
  std::string hash;  // as given, 0xHASH
  std::string text;
  bool byHash = false;  // --hash was given (else --text)
};

// What an entry adds to its place: its host text, and how the game uses it when not as a record.
std::string Described(const TextEntry& entry, bool byTranslation) {
  std::string line = Place(entry) + ": " + QuotedPoText(entry.host);
  if (byTranslation) line += " -> " + QuotedPoText(entry.translation);
  if (entry.translation.empty()) line += " (untranslated)";
  else if (entry.fuzzy) line += " (fuzzy)";
  return line;
}

void RunFind(const FindOptions& options) {
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
    RunExitStatuses().done = kNotFound;
  }
}

void AddFindCommand(CLI::App& app) {
  auto options = std::make_shared<FindOptions>();
  CLI::App* command = app.add_subcommand("find", "Name the entries (FILE:LINE) of a hash or a text seen in the game");
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
  command->preparse_callback([](size_t) { RunExitStatuses().failed = kTrouble; });
  command->callback([options, hash, text] {
    if (!*hash && !*text) throw CommandError("find needs --hash 0xHASH or --text TEXT");
    options->byHash = static_cast<bool>(*hash);
    RunFind(*options);
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("find", AddFindCommand);

}  // namespace vykcn::tool

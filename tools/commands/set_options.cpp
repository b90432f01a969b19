#include "commands/set_options.h"

#include <algorithm>
#include <string>

#include "commands/repeated_options.h"
#include "common/hash_label.h"

namespace vykcn::tool {
namespace {

// Adds repeatable --NAME CLASS[,CLASS...], each a warning class, into *classes.
void AddClassOption(CLI::App* command, const std::string& name, const std::string& help, std::set<std::string>* classes) {
  AddListOption(command, name, "CLASS", help, [name, classes](const std::string& value) {
    const std::vector<std::string>& known = WarningClasses();
    if (std::find(known.begin(), known.end(), value) == known.end()) {
      std::string list;
      for (const std::string& c : known) list += (list.empty() ? "" : ", ") + c;
      throw CLI::ValidationError(name, "'" + value + "' is no warning class (" + list + ")");
    }
    classes->insert(value);
  });
}

}  // namespace

void AddSetOptions(CLI::App* command, CheckOptions* options) {
  command->add_flag("--later-wins", options->laterWins,
                    "a file named later overrides earlier ones' translation of the same host text (each override "
                    "is listed)");
  AddFilesOption(command, "--host-texts", &options->hostTextFiles,
                 "more of the game's host texts, checked for what the game would show: .po/.pot (msgids), .csv "
                 "(\"source\" column) or one text a line (\\n a line feed, \\r a carriage return, \\\\ a backslash)");
  AddListOption(command, "--accept-shared-hash", "0xHASH",
                "host texts that share the hash may all show the one translation kept (an error turned note)",
                [options](const std::string& value) {
                  uint32_t hash = 0;
                  if (!ParseHashLabel(value, &hash)) {
                    throw CLI::ValidationError("--accept-shared-hash", "'" + value +
                                                                           "' is no hash: write 0x and one to eight "
                                                                           "hex digits, as check prints it (0x1A2B3C4D)");
                  }
                  options->acceptedHashes.push_back(hash);
                });
  AddClassOption(command, "--disable", "leave out the warnings of these classes (errors stay)",
                 &options->warnings.disabled);
  AddClassOption(command, "--error", "make the warnings of these classes errors", &options->warnings.fatal);
  command->add_flag("--strict", options->warnings.strict, "make every warning an error");
  std::string classes = "Warning classes (--disable, --error):";
  for (const WarningClass& c : WarningClassTable()) classes += "\n  " + std::string(c.name) + ": " + c.warnsOf;
  command->footer(classes);
}

void AddExtraCharsOption(CLI::App* command, CheckOptions* options) {
  command->add_option("--extra-chars", options->extraCharsPath,
                      "a UTF-8 file whose characters the glyph table also holds");
}

}  // namespace vykcn::tool

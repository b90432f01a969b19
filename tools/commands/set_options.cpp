#include "commands/set_options.h"

#include <algorithm>
#include <string>

namespace vykcn::tool {
namespace {

// "0x1A2B3C4D" as the findings write it, or a decimal number; false for anything else.
bool ParseHash(const std::string& text, uint32_t* hash) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > (hex ? 8u : 10u)) return false;
  uint64_t value = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
  }
  if (value > UINT32_MAX) return false;
  *hash = static_cast<uint32_t>(value);
  return true;
}

// Adds repeatable --NAME CLASS, each a warning class, into *classes.
void AddClassOption(CLI::App* command, const std::string& name, const std::string& help, std::set<std::string>* classes) {
  command
      ->add_option_function<std::vector<std::string>>(
          name,
          [name, classes](const std::vector<std::string>& values) {
            const std::vector<std::string>& known = WarningClasses();
            for (const std::string& value : values) {
              if (std::find(known.begin(), known.end(), value) == known.end()) {
                std::string list;
                for (const std::string& c : known) list += (list.empty() ? "" : ", ") + c;
                throw CLI::ValidationError(name, "'" + value + "' is no warning class (" + list + ")");
              }
              classes->insert(value);
            }
          },
          help)
      ->allow_extra_args(false);
}

}  // namespace

void AddSetOptions(CLI::App* command, CheckOptions* options) {
  command->add_flag("--later-wins", options->laterWins,
                    "a file named later overrides earlier ones' translation of the same host text (each override "
                    "is listed)");
  command->add_option("--host-texts", options->hostTextFiles,
                      "more of the game's host texts, checked for what the game would show: .po/.pot (msgids), "
                      ".csv (\"source\" column) or one text a line")
      ->allow_extra_args(false);
  command->add_option_function<std::vector<std::string>>(
      "--accept-shared-hash",
      [options](const std::vector<std::string>& values) {
        for (const std::string& value : values) {
          uint32_t hash = 0;
          if (!ParseHash(value, &hash)) {
            throw CLI::ValidationError("--accept-shared-hash", value + " is no 32-bit hash (write it as 0x1A2B3C4D)");
          }
          options->acceptedHashes.push_back(hash);
        }
      },
      "HASH: host texts that share it may all show the one translation kept (an error turned note)")
      ->allow_extra_args(false);
  AddClassOption(command, "--disable", "CLASS: leave out the warnings of this class (errors stay)",
                 &options->warnings.disabled);
  AddClassOption(command, "--error", "CLASS: make the warnings of this class errors", &options->warnings.fatal);
  command->add_flag("--strict", options->warnings.strict, "make every warning an error");
}

void AddExtraCharsOption(CLI::App* command, CheckOptions* options) {
  command->add_option("--extra-chars", options->extraCharsPath,
                      "a UTF-8 file whose characters the glyph table also holds");
}

}  // namespace vykcn::tool

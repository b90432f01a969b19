#pragma once
// The options that shape what a set of translators' files builds, on check, pack-text and
// pack-font alike, so that a check and a build of the same set say the same.
#include <CLI/CLI.hpp>

#include "checks/translation_checks.h"

namespace vykcn::tool {

// --later-wins, --host-texts FILE (one file each time), --accept-shared-hash 0xHASH, --disable CLASS,
// --error CLASS (each repeatable, or a comma-separated list) and --strict.
void AddSetOptions(CLI::App* command, CheckOptions* options);

// --extra-chars FILE: characters the glyph table holds beside the texts'.
void AddExtraCharsOption(CLI::App* command, CheckOptions* options);

}  // namespace vykcn::tool

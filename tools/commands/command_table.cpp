#include "commands/command_table.h"

#include "commands/build_command.h"
#include "commands/check_command.h"
#include "commands/check_options_command.h"
#include "commands/compress_command.h"
#include "commands/decompress_command.h"
#include "commands/default_fonts_command.h"
#include "commands/diff_command.h"
#include "commands/files_command.h"
#include "commands/find_command.h"
#include "commands/hash_command.h"
#include "commands/inspect_command.h"
#include "commands/pack_font_command.h"
#include "commands/pack_text_command.h"
#include "commands/preview_command.h"
#include "commands/unpack_text_command.h"
#include "commands/watch_command.h"

namespace vykcn::tool {

namespace {

// In name order, the order --help lists them.
constexpr Command kCommands[] = {
    {"build",
     "Write a module for a set of translators' files: a built vykcn.dll with the set's glyph table, translations "
     "and atlas in place of its own (no compiler needed)",
     CommandOf<AddBuildOptions, RunBuild>},
    {"check", "Report every problem of .po and .csv files at once (FILE:LINE: error|warning: ...), then a summary",
     CommandOf<AddCheckOptions, RunCheck>},
    {"check-options",
     "Check a command's options as it reads them, without running it: vykcn-tool check-options pack-text --wrap "
     "600 (exit 0 when they are valid)",
     CommandOf<AddCheckOptionsOptions, RunCheckOptions>},
    {"compress", "Compress a file into a translation resource (4-byte size + LZX stream)",
     CommandOf<AddCompressOptions, RunCompress>},
    {"decompress", "Decode a translation resource (4-byte size + framed LZX stream) as the module does",
     CommandOf<AddDecompressOptions, RunDecompress>},
    {"default-fonts", "List the fonts that check and make use when none is given: the main font, then its fallbacks",
     CommandOf<AddDefaultFontsOptions, RunDefaultFonts>},
    {"diff",
     "List the records added, removed and changed between two builds of the translations; between two modules, "
     "also the glyphs and the atlas",
     CommandOf<AddDiffOptions, RunDiff>, kDiffTrouble},
    {"files", "List the translators' files that check and the packers take from folders and files, one a line",
     CommandOf<AddFilesOptions, RunFiles>},
    {"find", "Name the entries (FILE:LINE) of a hash or a text seen in the game", CommandOf<AddFindOptions, RunFind>,
     kFindTrouble},
    {"hash", "Print the SubtitleHash of a text's bytes", CommandOf<AddHashOptions, RunHash>},
    {"inspect", "List a built vykcn.dll's resources and check them", CommandOf<AddInspectOptions, RunInspect>},
    {"pack-font",
     "Rasterise every character the game may draw with the module (translations, host texts, Latin extras) into a "
     "glyph table (101) and a DXT5 atlas (103)",
     CommandOf<AddPackFontOptions, RunPackFont>},
    {"pack-text", "Build the translation resource from .po and .csv files", CommandOf<AddPackTextOptions, RunPackText>},
    {"preview", "Draw a text with the module's font as the host would, into a PNG",
     CommandOf<AddPreviewOptions, RunPreview>},
    {"unpack-text", "Print a translation resource's records as TSV, or write them as .po or .csv",
     CommandOf<AddUnpackTextOptions, RunUnpackText>},
    {"watch",
     "Keep the game's vykcn-live/translations.bin (the test build's) up to date with a folder's .po and .csv files",
     CommandOf<AddWatchOptions, RunWatch>},
};

}  // namespace

const Command* FindCommand(const std::string& name) {
  for (const Command& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

std::vector<CommandRun> AddCommands(CLI::App& app) {
  std::vector<CommandRun> runs;
  for (const Command& command : kCommands) runs.push_back(command.add(*app.add_subcommand(command.name, command.summary)));
  return runs;
}

}  // namespace vykcn::tool

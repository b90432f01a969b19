#pragma once
// Translators' files of either kind, told by the extension (in any case: .po, .PO, .Csv ...), and
// lists of the game's host texts.
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// One file, with the problems met while reading it. Throws CommandError for other extensions,
// unreadable files, files whose header cannot be used, and files without any entry.
SourceFile ReadTextSourceFile(const std::string& path);

// A list of host texts: the msgids of a .po or .pot file (translated or not), the "source" column
// of a .csv file, or any other file as one text a line (LF or CR LF; empty lines skipped), where
// "\n" stands for a line feed, "\r" for a carriage return and "\\" for a backslash. The entries'
// translations are empty. Throws as ReadTextSourceFile does.
SourceFile ReadHostTextFile(const std::string& path);

}  // namespace vykcn::tool

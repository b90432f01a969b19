#pragma once
// Translators' files of either kind, told by the extension (in any case: .po, .PO, .Csv ...).
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

struct SourceFile {
  std::string path;
  std::vector<TextEntry> entries;
  size_t obsolete = 0;  // obsolete PO messages, which are no entries
};

// One file. Throws CommandError for other extensions, unreadable or malformed files, and files
// without any entry.
SourceFile ReadTextSourceFile(const std::string& path);

// Reads .po and .csv files in order; throws as ReadTextSourceFile does.
std::vector<TextEntry> ReadTextSources(const std::vector<std::string>& files);

}  // namespace vykcn::tool

#pragma once
// One entry of a translators' file: a host text, its translation, and where it was written.
#include <string>
#include <vector>

namespace vykcn::tool {

struct TextEntry {
  std::string host;         // the host text's bytes exactly (escapes resolved)
  std::string translation;  // UTF-8 as written; empty when untranslated
  std::string context;      // msgctxt, if any (PO only)
  std::string file;
  int line = 0;             // 1-based line of the entry (its msgid line, or its CSV record)
  bool usable = true;       // false: fuzzy or untranslated, left out of the image as msgfmt does
};

std::string Place(const TextEntry& entry);  // "file:line"

// Reads .po and .csv files (told by the extension) in order. Throws CommandError for other
// extensions, unreadable or malformed files, and files without any entry.
std::vector<TextEntry> ReadTextSources(const std::vector<std::string>& files);

}  // namespace vykcn::tool

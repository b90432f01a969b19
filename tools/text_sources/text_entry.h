#pragma once
// What a translators' file holds: its entries (a host text, its translation, and where it was
// written), and the problems the reader met on the way, each at its line.
#include <cstddef>
#include <string>
#include <vector>

#include "common/problem.h"

namespace vykcn::tool {

struct TextEntry {
  std::string host;         // the host text's bytes exactly (escapes resolved)
  std::string translation;  // UTF-8 as written; empty when untranslated
  std::string context;      // msgctxt, if any (PO only)
  std::string file;
  int line = 0;             // 1-based line of the entry (its msgid line, or its CSV record)
  bool usable = true;       // false: fuzzy or untranslated, left out of the image as msgfmt does
  bool fuzzy = false;
  bool plural = false;      // a plural message; only its first form is used
  std::string pluralHost;   // its msgid_plural
  bool hasContext = false;  // a msgctxt, which the module cannot tell apart
  bool printfFormat = true; // false: marked as another language's format, or as no format at all
  bool crLfInCell = false;  // a CSV cell whose CR LF line ends were read as LF
};

struct SourceFile {
  std::string path;
  std::vector<TextEntry> entries;  // in file order
  size_t obsolete = 0;             // obsolete PO messages, which are no entries
  size_t unreadable = 0;           // messages left out for a problem at their line (a NUL, bytes not in the charset)
  // Syntax errors, and warnings about how the file was read ([encoding]), each at its file and line.
  // Reading goes on after each, at the next entry, so that one slip never hides the rest of the file.
  std::vector<Problem> problems;
};

// "file:line", or the file alone when the line is not known.
inline std::string Place(const TextEntry& entry) {
  return entry.line > 0 ? entry.file + ":" + std::to_string(entry.line) : entry.file;
}

}  // namespace vykcn::tool

#pragma once
// Every check on a set of translators' files, run to the end: what `check` reports and what
// pack-text and pack-font refuse to build from. Errors are what the module could not use as
// written (conflicts, texts it cannot draw or look up); warnings are what is likely a mistake.
#include <string>
#include <vector>

#include "checks/finding.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

struct CheckOptions {
  bool laterWins = false;  // a file named later replaces earlier files' entries for a host text or hash
  std::string fontPath;    // when set, characters the font lacks are errors
};

struct FileSummary {
  std::string path;
  size_t entries = 0;  // obsolete ones included
  size_t used = 0;     // translated entries that reach the image (as a record or as a repeat of one)
  size_t fuzzy = 0;
  size_t untranslated = 0;
  size_t obsolete = 0;
  size_t plural = 0;
  size_t withContext = 0;
  size_t overridden = 0;  // used entries that a later one replaced
};

struct CheckedTranslations {
  std::vector<Finding> findings;  // in file and line order
  std::vector<TextEntry> used;    // what the image is built from, in input order
  std::vector<FileSummary> files; // one per file read
  size_t records = 0;             // distinct hashes among the used entries
  size_t errors() const { return CountFindings(findings, Severity::kError); }
};

// Reads the files (a file that cannot be read is one error) and checks all their entries.
CheckedTranslations CheckTranslations(const std::vector<std::string>& paths, const CheckOptions& options);

}  // namespace vykcn::tool

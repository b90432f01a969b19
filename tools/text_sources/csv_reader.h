#pragma once
// CSV files (RFC 4180) with a header row naming a "source" column (the host text) and a
// "translation" column; other columns are ignored. UTF-8 with or without a byte order mark, or
// UTF-16 with one; fields separated by commas, semicolons or tabs, as the header row shows.
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Rows with an empty translation come back with usable = false; rows whose cells are all empty
// are skipped. CR LF inside a quoted cell is read as LF (and the entry says so). A malformed
// record, a row with too few cells, one with text past the header's last column (a separator
// that was not quoted) and a NUL are problems at their line; reading goes on at the next record.
// Throws CommandError, with the line, for a header row that does not name the columns (or names
// one twice). With `needsTranslation` false only the "source" column is needed (a list of host
// texts).
SourceFile ReadCsvFile(const std::string& path, bool needsTranslation = true);

// Parses CSV text into records of cells; each record also gets its first line. A malformed
// record is a problem and is left out; parsing goes on at the line after the one where it went
// wrong (after an unclosed quote, the line after the quote's). Exposed for tests.
struct CsvRecord {
  std::vector<std::string> fields;
  int line;
  bool crLfInQuotes;  // a quoted field held CR LF, now LF
};
struct CsvText {
  std::vector<CsvRecord> records;
  std::vector<Problem> problems;
};
CsvText ParseCsv(const std::string& text, char delimiter = ',');

}  // namespace vykcn::tool

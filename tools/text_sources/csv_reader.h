#pragma once
// CSV files (RFC 4180) with a header row naming a "source" column (the host text) and a
// "translation" column; other columns are ignored. UTF-8 with or without a byte order mark, or
// UTF-16 with one; fields separated by commas, semicolons or tabs, as the header row shows.
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Rows with an empty translation come back with usable = false. CR LF inside a quoted cell is read
// as LF (and the entry says so). Throws CommandError with file and line for a malformed record, a
// missing column, or a NUL byte.
std::vector<TextEntry> ReadCsvFile(const std::string& path);

// Parses CSV text into records of fields; each record also gets its first line. Exposed for tests.
struct CsvRecord {
  std::vector<std::string> fields;
  int line;
  bool crLfInQuotes;  // a quoted field held CR LF, now LF
};
std::vector<CsvRecord> ParseCsv(const std::string& text, const std::string& path, char delimiter = ',');

}  // namespace vykcn::tool

#include "text_sources/csv_writer.h"

namespace vykcn::tool {
namespace {

bool NeedsQuotes(const std::string& cell) {
  return cell.find_first_of(",\"\r\n;\t") != std::string::npos ||
         (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
}

}  // namespace

std::string CsvRecordLine(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += ',';
    if (!NeedsQuotes(cells[i])) {
      line += cells[i];
      continue;
    }
    line += '"';
    for (char c : cells[i]) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line + "\r\n";
}

bool CsvKeepsCell(const std::string& cell) { return cell.find("\r\n") == std::string::npos; }

}  // namespace vykcn::tool

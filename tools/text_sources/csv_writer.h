#pragma once
// Writes CSV files (RFC 4180) that the toolkit's reader and spreadsheets read back as written.
#include <string>
#include <vector>

namespace vykcn::tool {

// One record: cells separated by commas and ended by CR LF. A cell is quoted, its quotes doubled,
// when it holds a comma, a quote, a line break, a semicolon or a tab, or begins or ends with a
// space: what a reader would split there, or a spreadsheet trim.
std::string CsvRecordLine(const std::vector<std::string>& cells);

// Whether the reader gets the cell back byte for byte: it reads a CR LF inside a cell as LF.
bool CsvKeepsCell(const std::string& cell);

}  // namespace vykcn::tool

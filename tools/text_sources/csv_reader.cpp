#include "text_sources/csv_reader.h"

#include <algorithm>
#include <cctype>

#include "common/charset_conversion.h"
#include "common/command_error.h"
#include "common/file_io.h"

namespace vykcn::tool {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

}  // namespace

std::vector<CsvRecord> ParseCsv(const std::string& text, const std::string& path, char delimiter) {
  std::vector<CsvRecord> records;
  size_t i = 0;
  int line = 1;
  // A UTF-8 byte order mark is not part of the first field.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  while (i < text.size()) {
    CsvRecord record{{}, line, false};
    std::string field;
    bool atRecordEnd = false;
    while (!atRecordEnd) {
      field.clear();
      if (i < text.size() && text[i] == '"') {
        const int quoteLine = line;
        ++i;
        for (;;) {
          if (i >= text.size()) {
            throw CommandError(path + ":" + std::to_string(quoteLine) + ": quoted field is not closed");
          }
          const char c = text[i++];
          if (c == '"') {
            if (i < text.size() && text[i] == '"') {
              field += '"';
              ++i;
            } else {
              break;
            }
          } else if (c == '\r' && i < text.size() && text[i] == '\n') {
            record.crLfInQuotes = true;  // a Windows line end inside the cell is a line feed
          } else {
            if (c == '\n') ++line;
            field += c;
          }
        }
        if (i < text.size() && text[i] != delimiter && text[i] != '\n' && text[i] != '\r') {
          throw CommandError(path + ":" + std::to_string(line) + ": text after a closing quote");
        }
      } else {
        while (i < text.size() && text[i] != delimiter && text[i] != '\n' && text[i] != '\r') {
          if (text[i] == '"') throw CommandError(path + ":" + std::to_string(line) + ": quote inside an unquoted field");
          field += text[i++];
        }
      }
      record.fields.push_back(field);
      if (i < text.size() && text[i] == delimiter) {
        ++i;
      } else {
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
        ++line;
        atRecordEnd = true;
      }
    }
    records.push_back(std::move(record));
  }
  return records;
}

namespace {

// The file's text in UTF-8: a UTF-8 byte order mark is dropped, UTF-16 with a byte order mark
// (spreadsheets' "Unicode text") converted.
std::string DecodedText(const std::vector<uint8_t>& bytes, const std::string& path) {
  std::string text(bytes.begin(), bytes.end());
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) return text.substr(3);
  const bool little = text.compare(0, 2, "\xFF\xFE") == 0, big = text.compare(0, 2, "\xFE\xFF") == 0;
  if (!little && !big) return text;
  CharsetConverter converter(little ? "UTF-16LE" : "UTF-16BE");
  std::string utf8;
  if (!converter.ToUtf8(text.substr(2), &utf8)) throw CommandError(path + ": not valid UTF-16");
  return utf8;
}

// Comma, semicolon or tab: the first that makes the header row name both columns.
char HeaderDelimiter(const std::string& text) {
  const std::string firstLine = text.substr(0, text.find('\n'));
  for (char delimiter : {',', ';', '\t'}) {
    bool source = false, translation = false;
    size_t start = 0;
    for (;;) {
      const size_t end = std::min(firstLine.find(delimiter, start), firstLine.size());
      std::string name = Lower(Trimmed(firstLine.substr(start, end - start)));
      if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
      source = source || name == "source";
      translation = translation || name == "translation";
      if (end >= firstLine.size()) break;
      start = end + 1;
    }
    if (source && translation) return delimiter;
  }
  return ',';
}

}  // namespace

std::vector<TextEntry> ReadCsvFile(const std::string& path) {
  const std::string text = DecodedText(ReadFileBytes(path), path);
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n'));
    throw CommandError(path + ":" + std::to_string(line) + ": a text contains a NUL byte" +
                       (nul < 2 ? " (UTF-16 without a byte order mark? Save it as UTF-8 or with one)" : ""));
  }
  const std::vector<CsvRecord> records = ParseCsv(text, path, HeaderDelimiter(text));
  if (records.empty()) throw CommandError(path + ": empty input: no header row and no entries");

  int sourceColumn = -1, translationColumn = -1;
  const auto& header = records[0].fields;
  for (size_t c = 0; c < header.size(); ++c) {
    const std::string name = Lower(Trimmed(header[c]));
    if (name == "source" && sourceColumn < 0) sourceColumn = static_cast<int>(c);
    if (name == "translation" && translationColumn < 0) translationColumn = static_cast<int>(c);
  }
  if (sourceColumn < 0 || translationColumn < 0) {
    throw CommandError(path + ":" + std::to_string(records[0].line) +
                       ": the header row must name a \"source\" and a \"translation\" column");
  }

  std::vector<TextEntry> entries;
  for (size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    if (record.fields.size() == 1 && record.fields[0].empty()) continue;  // blank line
    const size_t needed = static_cast<size_t>(std::max(sourceColumn, translationColumn)) + 1;
    if (record.fields.size() < needed) {
      throw CommandError(path + ":" + std::to_string(record.line) + ": " + std::to_string(record.fields.size()) +
                         " fields, the header names " + std::to_string(header.size()));
    }
    TextEntry entry;
    entry.host = record.fields[static_cast<size_t>(sourceColumn)];
    entry.translation = record.fields[static_cast<size_t>(translationColumn)];
    entry.file = path;
    entry.line = record.line;
    entry.usable = !entry.translation.empty();
    entry.crLfInCell = record.crLfInQuotes;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace vykcn::tool

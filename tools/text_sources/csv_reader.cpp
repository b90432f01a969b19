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

CsvText ParseCsv(const std::string& text, char delimiter) {
  CsvText parsed;
  size_t i = 0;
  int line = 1;
  // A UTF-8 byte order mark is not part of the first field.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  // After a malformed record, parsing goes on at the start of the line after `from`'s.
  const auto resumeAfterLineOf = [&](size_t from, int fromLine, const char* what) {
    parsed.problems.push_back({-1, "", fromLine, Severity::kError, what});
    const size_t lineEnd = text.find('\n', from);
    i = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
    line = fromLine + 1;
  };
  while (i < text.size()) {
    CsvRecord record{{}, line, false};
    std::string field;
    bool atRecordEnd = false, malformed = false;
    while (!atRecordEnd && !malformed) {
      field.clear();
      if (i < text.size() && text[i] == '"') {
        const size_t quote = i;
        const int quoteLine = line;
        ++i;
        for (;;) {
          if (i >= text.size()) {
            resumeAfterLineOf(quote, quoteLine, "quoted field is not closed");
            malformed = true;
            break;
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
        if (!malformed && i < text.size() && text[i] != delimiter && text[i] != '\n' && text[i] != '\r') {
          resumeAfterLineOf(i, line, "text after a closing quote");
          malformed = true;
        }
      } else {
        while (i < text.size() && text[i] != delimiter && text[i] != '\n' && text[i] != '\r') {
          if (text[i] == '"') {
            resumeAfterLineOf(i, line, "quote inside an unquoted field (quote the whole cell, and double the quote)");
            malformed = true;
            break;
          }
          field += text[i++];
        }
      }
      if (malformed) break;
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
    if (!malformed) parsed.records.push_back(std::move(record));
  }
  return parsed;
}

namespace {

// The file's text in UTF-8: a UTF-8 byte order mark is dropped, UTF-16 with a byte order mark
// (spreadsheets' "Unicode text") converted.
std::string DecodedText(const std::vector<uint8_t>& bytes, const std::string& path) {
  std::string text(bytes.begin(), bytes.end());
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) return text.substr(3);
  if (text.compare(0, 2, "\xFF\xFE") != 0 && text.compare(0, 2, "\xFE\xFF") != 0) return text;
  CharsetConverter converter("UTF-16");
  std::string utf8;
  if (!converter.ToUtf8(text, &utf8)) throw CommandError(path, 0, "not valid UTF-16");
  return utf8;
}

// Comma, semicolon or tab: the first that makes the header row name the columns needed.
char HeaderDelimiter(const std::string& text, bool needsTranslation) {
  const std::string firstLine = text.substr(0, text.find('\n'));
  for (char delimiter : {',', ';', '\t'}) {
    bool source = false, translation = !needsTranslation;
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

bool AllEmpty(const std::vector<std::string>& fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); });
}

}  // namespace

SourceFile ReadCsvFile(const std::string& path, bool needsTranslation) {
  const std::string text = DecodedText(ReadFileBytes(path), path);
  const size_t nul = text.find('\0');
  if (nul != std::string::npos && nul < 2) {
    throw CommandError(path, 1,
                       "a text contains a NUL byte (UTF-16 without a byte order mark? Save it as UTF-8 or with one)");
  }
  CsvText parsed = ParseCsv(text, HeaderDelimiter(text, needsTranslation));
  if (parsed.records.empty() || parsed.records[0].line != 1) {
    if (!parsed.problems.empty() && parsed.problems[0].line == 1) {
      throw CommandError(path, 1, "the header row is malformed: " + parsed.problems[0].message);
    }
    throw CommandError(path, 0, "empty input: no header row and no entries");
  }

  SourceFile file;
  file.path = path;
  file.problems = std::move(parsed.problems);
  for (Problem& problem : file.problems) problem.file = path;  // the parser knows no file
  int sourceColumn = -1, translationColumn = -1;
  const std::vector<std::string>& header = parsed.records[0].fields;
  std::vector<std::string> names;
  for (size_t c = 0; c < header.size(); ++c) {
    const std::string name = Lower(Trimmed(header[c]));
    if (!name.empty() && std::find(names.begin(), names.end(), name) != names.end()) {
      throw CommandError(path, 1, "the header row names \"" + Trimmed(header[c]) + "\" twice");
    }
    names.push_back(name);
    if (name == "source") sourceColumn = static_cast<int>(c);
    if (name == "translation") translationColumn = static_cast<int>(c);
  }
  if (sourceColumn < 0 || (needsTranslation && translationColumn < 0)) {
    throw CommandError(path, 1,
                       std::string("the header row must name a \"source\"") +
                           (needsTranslation ? " and a \"translation\" column" : " column"));
  }

  const size_t needed = static_cast<size_t>(std::max(sourceColumn, translationColumn)) + 1;
  for (size_t r = 1; r < parsed.records.size(); ++r) {
    CsvRecord& record = parsed.records[r];
    if (AllEmpty(record.fields)) continue;  // a blank line, or a spreadsheet's empty row
    const auto problem = [&](const std::string& message) {
      file.problems.push_back({-1, path, record.line, Severity::kError, message});
      ++file.unreadable;
    };
    const auto cells = [&] {
      return std::to_string(record.fields.size()) + " cells, the header names " + std::to_string(header.size()) +
             " columns";
    };
    if (record.fields.size() < needed) {
      problem(cells());
      continue;
    }
    bool textPastHeader = false;  // empty cells there are what spreadsheets write: harmless
    for (size_t c = header.size(); c < record.fields.size(); ++c) textPastHeader |= !record.fields[c].empty();
    if (textPastHeader) {
      problem(cells() + ": text past the last column would be lost (quote a cell that holds the separator)");
      continue;
    }
    if (std::any_of(record.fields.begin(), record.fields.end(),
                    [](const std::string& f) { return f.find('\0') != std::string::npos; })) {
      problem("a text contains a NUL byte");
      continue;
    }
    TextEntry entry;
    // Each cell is taken once (a header naming one column twice was refused above).
    entry.host = std::move(record.fields[static_cast<size_t>(sourceColumn)]);
    if (translationColumn >= 0) entry.translation = std::move(record.fields[static_cast<size_t>(translationColumn)]);
    entry.file = path;
    entry.line = record.line;
    entry.usable = !entry.translation.empty();
    entry.crLfInCell = record.crLfInQuotes;
    file.entries.push_back(std::move(entry));
  }
  std::stable_sort(file.problems.begin(), file.problems.end(),
                   [](const Problem& a, const Problem& b) { return a.line < b.line; });
  return file;
}

}  // namespace vykcn::tool

#include "text_sources/text_sources.h"

#include <string_view>

#include "common/command_error.h"
#include "common/file_extension.h"
#include "common/file_io.h"
#include "text_sources/csv_reader.h"
#include "text_sources/po_reader.h"

namespace vykcn::tool {
namespace {

SourceFile RequireEntries(SourceFile file) {
  if (file.entries.empty() && file.problems.empty()) throw CommandError(file.path, 0, "empty input: no entries");
  return file;
}

// A plain list's line as the text it stands for: "\n" a line feed, "\r" a carriage return,
// "\\" a backslash; any other backslash is itself, so that "C:\Games" reads as written.
std::string Unescaped(std::string_view line) {
  std::string text;
  for (size_t i = 0; i < line.size(); ++i) {
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (line[i] != '\\' || (next != 'n' && next != 'r' && next != '\\')) {
      text += line[i];
      continue;
    }
    text += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
    ++i;
  }
  return text;
}

// One host text a line.
SourceFile ReadLines(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  SourceFile file;
  file.path = path;
  size_t start = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) start = 3;
  for (int line = 1; start < bytes.size(); ++line) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    size_t textEnd = end;
    if (textEnd > start && bytes[textEnd - 1] == '\r') --textEnd;
    TextEntry entry;
    entry.host = Unescaped(std::string_view(reinterpret_cast<const char*>(bytes.data()) + start, textEnd - start));
    entry.file = path;
    entry.line = line;
    entry.usable = false;
    if (entry.host.find('\0') != std::string::npos) {
      file.problems.push_back({-1, path, line, Severity::kError, "a text contains a NUL byte"});
    } else if (!entry.host.empty()) {
      file.entries.push_back(std::move(entry));
    }
    start = end + 1;
  }
  return file;
}

}  // namespace

SourceFile ReadTextSourceFile(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  if (extension == ".po") return RequireEntries(ReadPoFile(path));
  if (extension == ".csv") return RequireEntries(ReadCsvFile(path));
  throw CommandError(path, 0, "unknown kind of file (expected .po or .csv)");
}

SourceFile ReadHostTextFile(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  SourceFile file = extension == ".po" || extension == ".pot" ? ReadPoFile(path)
                    : extension == ".csv"                     ? ReadCsvFile(path, false)
                                                              : ReadLines(path);
  for (TextEntry& entry : file.entries) {
    entry.translation.clear();
    entry.usable = false;
    entry.fuzzy = false;
  }
  return RequireEntries(std::move(file));
}

}  // namespace vykcn::tool

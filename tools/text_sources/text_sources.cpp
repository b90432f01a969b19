#include "text_sources/text_sources.h"

#include <cctype>

#include "common/command_error.h"
#include "text_sources/csv_reader.h"
#include "text_sources/po_reader.h"

namespace vykcn::tool {

SourceFile ReadTextSourceFile(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  std::string extension = dot == std::string::npos ? "" : path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  SourceFile file;
  file.path = path;
  if (extension == ".po") {
    file.entries = ReadPoFile(path, &file.obsolete);
  } else if (extension == ".csv") {
    file.entries = ReadCsvFile(path);
  } else {
    throw CommandError(path + ": unknown kind of file (expected .po or .csv)");
  }
  if (file.entries.empty()) throw CommandError(path + ": empty input: no entries");
  return file;
}

std::vector<TextEntry> ReadTextSources(const std::vector<std::string>& files) {
  std::vector<TextEntry> all;
  for (const std::string& path : files) {
    SourceFile file = ReadTextSourceFile(path);
    all.insert(all.end(), file.entries.begin(), file.entries.end());
  }
  return all;
}

}  // namespace vykcn::tool

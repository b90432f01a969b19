#include "text_sources/text_sources.h"

#include <algorithm>
#include <cctype>

#include "common/command_error.h"
#include "text_sources/csv_reader.h"
#include "text_sources/po_reader.h"

namespace vykcn::tool {

std::vector<TextEntry> ReadTextSources(const std::vector<std::string>& files) {
  std::vector<TextEntry> all;
  for (const std::string& path : files) {
    const size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<TextEntry> entries;
    if (extension == ".po") {
      entries = ReadPoFile(path);
    } else if (extension == ".csv") {
      entries = ReadCsvFile(path);
    } else {
      throw CommandError(path + ": unknown kind of file (expected .po or .csv)");
    }
    if (entries.empty()) throw CommandError(path + ": empty input: no entries");
    all.insert(all.end(), entries.begin(), entries.end());
  }
  return all;
}

}  // namespace vykcn::tool

#include "text_sources/translators_folder.h"

#include <algorithm>
#include <utility>

#include "common/command_error.h"
#include "common/file_extension.h"
#include "system/files.h"

namespace vykcn::tool {
namespace {

// (path inside the top folder with '/', the file's path) of every translators' file under `folder`.
void Walk(const std::string& folder, const std::string& inside, std::vector<std::pair<std::string, std::string>>* found) {
  std::vector<system::FolderEntry> entries;
  std::string reason;
  if (!system::ListFolder(folder, &entries, &reason)) throw CommandError("cannot read " + folder + ": " + reason);
  for (const system::FolderEntry& entry : entries) {
    const std::string path = system::JoinPath(folder, entry.name);
    if (entry.folder) {
      Walk(path, inside + entry.name + "/", found);
      continue;
    }
    const std::string extension = ExtensionInLowerCase(entry.name);
    if (extension == ".po" || extension == ".csv") found->emplace_back(inside + entry.name, path);
  }
}

}  // namespace

std::vector<std::string> TranslatorsFilesIn(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> found;
  Walk(folder, "", &found);
  if (found.empty()) throw CommandError(folder + ": no .po or .csv files in the folder");
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& file : found) paths.push_back(std::move(file.second));
  return paths;
}

}  // namespace vykcn::tool

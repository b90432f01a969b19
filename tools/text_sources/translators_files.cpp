#include "text_sources/translators_files.h"

#include <algorithm>
#include <utility>

#include "common/command_error.h"
#include "common/file_extension.h"
#include "system/files.h"

namespace vykcn::tool {
namespace {

// (path inside the top folder with '/', the file's path) of every translators' file under `folder`;
// false, with the reason, when a folder cannot be read.
bool Walk(const std::string& folder, const std::string& inside, std::vector<std::pair<std::string, std::string>>* found,
          std::string* problem) {
  std::vector<system::FolderEntry> entries;
  std::string reason;
  if (!system::ListFolder(folder, &entries, &reason)) {
    *problem = "cannot read " + folder + ": " + reason;
    return false;
  }
  for (const system::FolderEntry& entry : entries) {
    const std::string path = system::JoinPath(folder, entry.name);
    if (entry.folder) {
      if (!Walk(path, inside + entry.name + "/", found, problem)) return false;
    } else if (IsTranslatorsFileName(entry.name)) {
      found->emplace_back(inside + entry.name, path);
    }
  }
  return true;
}

// The folder's translators' files in the order of their paths inside it ('/' between names, bytes
// compared), on every platform alike: "a-b.po", "a.po", "patches/a.po". A sentence in *problem when
// it has none or cannot be read.
std::vector<std::string> FolderFiles(const std::string& folder, std::string* problem) {
  std::vector<std::pair<std::string, std::string>> found;
  if (!Walk(folder, "", &found, problem)) return {};
  if (found.empty()) {
    *problem = folder + ": no .po or .csv files in the folder or its subfolders";
    return {};
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& file : found) paths.push_back(std::move(file.second));
  return paths;
}

}  // namespace

bool IsTranslatorsFileName(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  return extension == ".po" || extension == ".csv";
}

std::vector<std::string> TranslatorsFiles(const std::vector<std::string>& arguments, std::vector<std::string>* problems) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    if (system::LookAt(argument).kind != system::FileKind::kDirectory) {
      files.push_back(argument);
      continue;
    }
    std::string problem;
    const std::vector<std::string> inFolder = FolderFiles(argument, &problem);
    if (!problem.empty()) problems->push_back(problem);
    files.insert(files.end(), inFolder.begin(), inFolder.end());
  }
  return files;
}

std::vector<std::string> TranslatorsFilesIn(const std::string& folder) {
  std::vector<std::string> problems;
  std::vector<std::string> files = TranslatorsFiles({folder}, &problems);
  if (!problems.empty()) throw CommandError(problems.front());
  return files;
}

}  // namespace vykcn::tool

#include "text_sources/translators_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/file_extension.h"

namespace vykcn::tool {
namespace {

namespace fs = std::filesystem;

// The folder's translators' files, in path order; a sentence in *problem when it has none or
// cannot be read.
std::vector<std::string> FolderFiles(const std::string& folder, std::string* problem) {
  std::vector<std::string> paths;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (IsTranslatorsFileName(it->path().string()) && it->is_regular_file(kind)) paths.push_back(it->path().string());
  }
  if (error) {
    *problem = "cannot read " + folder + ": " + error.message();
    return {};
  }
  if (paths.empty()) *problem = folder + ": no .po or .csv files in the folder or its subfolders";
  std::sort(paths.begin(), paths.end());
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
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
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

}  // namespace vykcn::tool

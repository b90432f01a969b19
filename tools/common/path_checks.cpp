#include "common/path_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/command_error.h"
#include "common/file_extension.h"

namespace vykcn::tool {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// An output that does not exist yet: the file its name would create, to compare two outputs.
std::string WouldBe(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

bool IsTranslatorsFileName(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  return extension == ".po" || extension == ".pot" || extension == ".csv";
}

// Why an input cannot be read, or "" when it can.
std::string InputProblem(const std::string& input, struct stat* info) {
  if (stat(input.c_str(), info) != 0) return "cannot read " + input + ": " + std::strerror(errno);
  if (S_ISDIR(info->st_mode)) return "cannot read " + input + ": Is a directory";
  if (!S_ISREG(info->st_mode)) return "cannot read " + input + ": not a regular file";
  if (access(input.c_str(), R_OK) != 0) return "cannot read " + input + ": " + std::strerror(errno);
  return "";
}

}  // namespace

void CheckCommandPaths(const CommandPaths& paths) {
  std::vector<struct stat> inputs;
  std::string problems;
  for (const std::string& problem : paths.problems) problems += (problems.empty() ? "" : "\n") + problem;
  for (const std::string& input : paths.inputs) {
    if (input.empty()) continue;
    struct stat info;
    const std::string problem = InputProblem(input, &info);
    if (problem.empty()) inputs.push_back(info);
    else problems += (problems.empty() ? "" : "\n") + problem;
  }
  // Every input that cannot be read, one a line (main prefixes each).
  if (!problems.empty()) throw CommandError(problems);
  std::vector<std::pair<std::string, struct stat>> existing;
  std::vector<std::string> created;
  std::vector<std::string> outputs = paths.outputs;
  outputs.insert(outputs.end(), paths.binaryOutputs.begin(), paths.binaryOutputs.end());
  for (size_t i = 0; i < outputs.size(); ++i) {
    const std::string& output = outputs[i];
    if (output.empty()) continue;
    struct stat info;
    if (stat(output.c_str(), &info) != 0) {
      const std::string name = WouldBe(output);
      for (const std::string& other : created) {
        if (other == name) throw CommandError("cannot write " + output + " twice: two outputs name the same file");
      }
      created.push_back(name);
      continue;
    }
    if (S_ISDIR(info.st_mode)) throw CommandError("cannot write " + output + ": Is a directory");
    if (!S_ISREG(info.st_mode)) throw CommandError("cannot write " + output + ": not a regular file");
    for (const struct stat& input : inputs) {
      if (SameFile(info, input)) throw CommandError("will not overwrite " + output + ": it is also an input");
    }
    for (const auto& other : existing) {
      if (SameFile(info, other.second)) {
        throw CommandError("cannot write " + output + " twice: it is the same file as " + other.first);
      }
    }
    // A binary output of such a name is refused below, --force or not.
    if (!paths.force && i < paths.outputs.size() && IsTranslatorsFileName(output)) {
      throw CommandError("will not overwrite " + output + ": it is a translators' file (--force replaces it)");
    }
    existing.emplace_back(output, info);
  }
  for (const std::string& output : paths.binaryOutputs) {
    if (IsTranslatorsFileName(output)) {
      throw CommandError("will not write binary data to " + output + ": the name is that of a translators' file");
    }
  }
}

}  // namespace vykcn::tool

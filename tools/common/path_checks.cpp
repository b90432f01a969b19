#include "common/path_checks.h"

#include "common/command_error.h"
#include "common/file_extension.h"
#include "system/files.h"

namespace vykcn::tool {
namespace {

bool IsTranslatorsFileName(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  return extension == ".po" || extension == ".pot" || extension == ".csv";
}

// Why an input cannot be read, or "" when it can.
std::string InputProblem(const std::string& input, system::FileInfo* info) {
  using system::FileKind;
  *info = system::LookAt(input);
  if (info->kind == FileKind::kMissing) return "cannot read " + input + ": " + info->reason;
  if (info->kind == FileKind::kDirectory) return "cannot read " + input + ": Is a directory";
  if (info->kind != FileKind::kRegular) return "cannot read " + input + ": not a regular file";
  std::string reason;
  if (!system::CanRead(input, &reason)) return "cannot read " + input + ": " + reason;
  return "";
}

}  // namespace

void CheckCommandPaths(const CommandPaths& paths) {
  using system::FileKind;
  std::vector<system::FileInfo> inputs;
  std::string problems;
  for (const std::string& problem : paths.problems) problems += (problems.empty() ? "" : "\n") + problem;
  for (const std::string& input : paths.inputs) {
    if (input.empty()) continue;
    system::FileInfo info;
    const std::string problem = InputProblem(input, &info);
    if (problem.empty()) inputs.push_back(info);
    else problems += (problems.empty() ? "" : "\n") + problem;
  }
  // Every input that cannot be read, one a line (main prefixes each).
  if (!problems.empty()) throw CommandError(problems);
  std::vector<std::pair<std::string, system::FileInfo>> existing;
  std::vector<std::string> created;
  std::vector<std::string> outputs = paths.outputs;
  outputs.insert(outputs.end(), paths.binaryOutputs.begin(), paths.binaryOutputs.end());
  for (size_t i = 0; i < outputs.size(); ++i) {
    const std::string& output = outputs[i];
    if (output.empty()) continue;
    const system::FileInfo info = system::LookAt(output);
    if (info.kind == FileKind::kMissing) {
      const std::string place = system::PlaceOfNewFile(output);
      for (const std::string& other : created) {
        if (other == place) throw CommandError("cannot write " + output + " twice: two outputs name the same file");
      }
      created.push_back(place);
      continue;
    }
    if (info.kind == FileKind::kDirectory) throw CommandError("cannot write " + output + ": Is a directory");
    if (info.kind != FileKind::kRegular) throw CommandError("cannot write " + output + ": not a regular file");
    for (const system::FileInfo& input : inputs) {
      if (info.SameFileAs(input)) throw CommandError("will not overwrite " + output + ": it is also an input");
    }
    for (const auto& other : existing) {
      if (info.SameFileAs(other.second)) {
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

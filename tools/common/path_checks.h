#pragma once
// The checks every subcommand makes on its paths before any work, so that a wrong path is one
// clear message and never costs a user's file.
#include <string>
#include <vector>

namespace vykcn::tool {

struct CommandPaths {
  std::vector<std::string> inputs{};   // files read; empty strings (options not given) are skipped
  std::vector<std::string> outputs{};  // files written
  std::vector<std::string> binaryOutputs{};  // files written with binary data: never onto a translators' file
  bool force = false;  // an output may replace an existing translators' file (the user said --force)
  std::vector<std::string> problems{};  // found before (a folder without translators' files), told with the rest
};

// Throws CommandError when an input is missing, not a regular file or not readable (one line for
// each such input, after the problems found before, so that a user sees every one); when an output
// is a directory or another non-regular file, or is the same file as an input (same device and
// inode, whatever the names); or when two outputs name the same file; or when a binary output's
// name ends in .po, .pot or .csv (in any case), where a slip would replace a translator's file; or,
// unless `force`, when an output of such a name exists already.
void CheckCommandPaths(const CommandPaths& paths);

}  // namespace vykcn::tool

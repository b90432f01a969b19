#pragma once
// The toolkit's one kind of failure: a problem that stops the command, carried as its record
// (common/problem.h), the place as fields of its own. Whatever the tool reads or builds throws it;
// main prints "vykcn-tool: FILE:LINE: MESSAGE" on stderr and exits with the command's failure
// status, and the checks take a reader's failure as a finding at the same place.
#include <stdexcept>
#include <string>

#include "common/problem.h"

namespace vykcn::tool {

// A command's exit statuses: 0 when it did what was asked, 1 when anything failed. A command whose
// answer is itself a status follows diff's convention instead (0 the same, 1 different, 2 trouble).
constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;

struct CommandError : std::runtime_error {
  // A failure without a place of its own.
  explicit CommandError(const std::string& message) : CommandError(Problem{-1, "", 0, Severity::kError, message}) {}
  // A failure at FILE (and LINE).
  CommandError(const std::string& file, int line, const std::string& message)
      : CommandError(Problem{-1, file, line, Severity::kError, message}) {}
  explicit CommandError(Problem failure)
      : std::runtime_error(PlaceOf(failure) + failure.message), problem(std::move(failure)) {}

  // The failure as a finding about the file given `fileIndex`-th, at `file` when it names no place.
  Problem FoundIn(int fileIndex, const std::string& file) const {
    Problem found = problem;
    found.fileIndex = fileIndex;
    if (found.file.empty()) found.file = file;
    return found;
  }

  Problem problem;
};

}  // namespace vykcn::tool

#pragma once
// The toolkit's one kind of failure: a sentence for the user. Whatever the tool reads or builds
// throws it; main prints "vykcn-tool: MESSAGE" on stderr and exits with the run's failure status.
#include <stdexcept>

namespace vykcn::tool {

struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The statuses a run exits with: 0 when the command did what was asked, 1 when anything failed.
// A command whose answer is itself a status follows diff's convention instead (0 the same,
// 1 different, 2 trouble): it sets `failed` before its arguments are parsed, so that a usage
// error, an unreadable input or a write error on standard output all end in 2, and sets `done`
// from its answer.
struct ExitStatuses {
  int done = 0;
  int failed = 1;
};

inline ExitStatuses& RunExitStatuses() {
  static ExitStatuses statuses;
  return statuses;
}

}  // namespace vykcn::tool

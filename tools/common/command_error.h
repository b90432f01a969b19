#pragma once
// The toolkit's one kind of failure: a sentence for the user. Whatever the tool reads or builds
// throws it; main prints "vykcn-tool: MESSAGE" on stderr and exits with the command's failure
// status.
#include <stdexcept>

namespace vykcn::tool {

// A command's exit statuses: 0 when it did what was asked, 1 when anything failed. A command whose
// answer is itself a status follows diff's convention instead (0 the same, 1 different, 2 trouble).
constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;

struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace vykcn::tool

#pragma once
// The toolkit's one kind of failure: a sentence for the user. Whatever the tool reads or builds
// throws it; main prints "vykcn-tool: MESSAGE" on stderr and exits with 1.
#include <stdexcept>

namespace vykcn::tool {

struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace vykcn::tool

#include "system/program.h"

namespace vykcn::tool::system {

// POSIX passes the bytes the user typed, which the toolkit takes as UTF-8; a terminal shows them.
std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + (argc > 0 ? 1 : 0), argv + argc}; }

void ShowUtf8OnConsole() {}

}  // namespace vykcn::tool::system

#include "system/program.h"

#include <cstring>
#include <signal.h>

#include <atomic>

namespace vykcn::tool::system {

// POSIX passes the bytes the user typed, which the toolkit takes as UTF-8; a terminal shows them.
std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + (argc > 0 ? 1 : 0), argv + argc}; }

void ShowUtf8OnConsole() {}

std::string WriteFailure(int error) { return error != 0 ? std::strerror(error) : ""; }

namespace {

std::atomic<bool> gStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnStopSignal(int) { gStopRequested.store(true); }

}  // namespace

void CatchStopRequests() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
}

bool StopRequested() { return gStopRequested.load(); }

}  // namespace vykcn::tool::system

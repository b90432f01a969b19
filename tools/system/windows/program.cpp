#include "system/program.h"

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "system/windows/wide_text.h"

namespace vykcn::tool::system {
namespace {

UINT gConsoleCodePage = 0;  // the console's output code page before this process changed it

void RestoreConsoleCodePage() { SetConsoleOutputCP(gConsoleCodePage); }

std::atomic<bool> gStopRequested{false};

// Runs on a thread of its own. Ctrl+C and Ctrl+Break leave the process running; after a console's
// close, a logoff or a shutdown the system ends it once the handler returns, so the handler gives
// the command a moment to finish what it is writing.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  gStopRequested.store(true);
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(3000);
  return TRUE;
}

}  // namespace

void CatchStopRequests() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

bool StopRequested() { return gStopRequested.load(); }

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    const std::string argument = Narrow(wide[i], wcslen(wide[i]));
    arguments.push_back(argument == "/?" ? "--help" : argument);
  }
  LocalFree(wide);
  return arguments;
}

void ShowUtf8OnConsole() {
  // The console is the user's and outlives this process: its code page is set back at exit.
  const UINT current = GetConsoleOutputCP();
  if (current == 0 || current == CP_UTF8 || gConsoleCodePage != 0) return;
  if (!SetConsoleOutputCP(CP_UTF8)) return;
  gConsoleCodePage = current;
  std::atexit(RestoreConsoleCodePage);
}

std::string WriteFailure(int error) {
  if (error != 0) return std::strerror(error);
  switch (GetLastError()) {  // the failures of a write, in the C library's words
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::strerror(ENOSPC);
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return std::strerror(EPIPE);
    case ERROR_ACCESS_DENIED:
      return std::strerror(EACCES);
    default:
      return "";
  }
}

}  // namespace vykcn::tool::system

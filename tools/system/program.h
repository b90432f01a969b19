#pragma once
// The program's place on its platform: its arguments as UTF-8, and a console that shows UTF-8.
#include <string>
#include <vector>

namespace vykcn::tool::system {

// The command line's arguments after the program's name, in UTF-8. On Windows they are read as
// the system passes them, in UTF-16 (argv holds the ANSI code page's lossy copy), and "/?", the
// platform's request for help, becomes "--help".
std::vector<std::string> ProgramArguments(int argc, char** argv);

// From now on, a request to end the program (Ctrl+C, Ctrl+Break, SIGTERM, SIGHUP, the console window
// closed) no longer ends it where it stands: StopRequested() says it came, for a command that runs
// until stopped (watch) to finish what it is writing and return.
void CatchStopRequests();
bool StopRequested();

// Makes a console that shows this process's output show UTF-8, until the process ends (on
// Windows, the console's output code page, set back at exit); nothing where output is a file.
void ShowUtf8OnConsole();

// Why a write failed, as a short phrase ("No space left on device"), from the C library's `error`
// (errno) when it says, else from the platform; "" when neither does. Windows' C runtime may leave
// errno unset when a write of printf's failed: its system's last error still says why.
std::string WriteFailure(int error);

}  // namespace vykcn::tool::system

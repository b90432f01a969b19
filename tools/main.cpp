// vykcn-tool: builds, inspects and previews what the vykcn module carries.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "commands/command_registry.h"
#include "system/program.h"

namespace {

// A message of several lines tells several problems (every input that cannot be read): each line
// is said as one.
int Fail(const std::string& message) {
  for (size_t at = 0; at < message.size() || at == 0;) {
    const size_t end = std::min(message.find('\n', at), message.size());
    std::fprintf(stderr, "vykcn-tool: %s\n", message.substr(at, end - at).c_str());
    at = end + 1;
  }
  return vykcn::tool::RunExitStatuses().failed;
}

// CLI11's complaint about a word that is no subcommand does not name it; this one does.
bool IsUnknownCommand(const CLI::App& app, const char* word) {
  if (word == nullptr || word[0] == '-') return false;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    if (command->check_name(word)) return false;
  }
  return true;
}

int Run(int argc, char** argv) {
  CLI::App app{"vykcn-tool: build, inspect and preview the vykcn module's resources"};
  app.set_version_flag("--version", "vykcn-tool " VYKCN_VERSION);
  app.require_subcommand(1);
  vykcn::tool::AddRegisteredCommands(app);
  if (argc > 1 && IsUnknownCommand(app, argv[1])) {
    return Fail(std::string("unknown command '") + argv[1] + "' (vykcn-tool --help lists them)");
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return Fail(std::string(e.what()) + " (--help for usage)");
  } catch (const vykcn::tool::CommandError& e) {
    return Fail(e.what());
  }
  return vykcn::tool::RunExitStatuses().done;
}

// Output that never reached its file is a failure, whatever the command thought (a full disk
// under "> file" would otherwise cut a listing short with exit 0).
int CloseStandardOutput(int status) {
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int flushError = errno;
  const bool clean = std::ferror(stdout) == 0;
  if (std::fclose(stdout) == 0 && flushed && clean) return status;
  const int reason = flushError != 0 ? flushError : errno;
  return Fail(std::string("write error on standard output") + (reason != 0 ? std::string(": ") + std::strerror(reason) : ""));
}

int RunCaught(int argc, char** argv) {
  // Nothing unexpected reaches the user as an abort: it is one line and exit code 1.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::exception& e) {
    return Fail(std::string("unexpected failure: ") + e.what());
  } catch (...) {
    return Fail("unexpected failure");
  }
}

}  // namespace

int main(int argc, char** argv) {
  vykcn::tool::system::ShowUtf8OnConsole();
  // The arguments in UTF-8, whatever the platform passed.
  std::vector<std::string> arguments = vykcn::tool::system::ProgramArguments(argc, argv);
  std::vector<char*> utf8 = {argc > 0 ? argv[0] : const_cast<char*>("vykcn-tool")};
  for (std::string& argument : arguments) utf8.push_back(argument.data());
  utf8.push_back(nullptr);
  return CloseStandardOutput(RunCaught(static_cast<int>(utf8.size() - 1), utf8.data()));
}

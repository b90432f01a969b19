// vykcn-tool: builds, inspects and previews what the vykcn module carries.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "system/program.h"

namespace {

// A message of several lines tells several problems (every input that cannot be read): each line
// is said as one.
int Fail(const std::string& message, int status) {
  for (size_t at = 0; at < message.size() || at == 0;) {
    const size_t end = std::min(message.find('\n', at), message.size());
    std::fprintf(stderr, "vykcn-tool: %s\n", message.substr(at, end - at).c_str());
    at = end + 1;
  }
  return status;
}

// Reads the words into the table's commands and runs the one named; its failures, usage errors
// included, exit with its failure status.
int Run(int argc, char** argv, int failed) {
  CLI::App app{"vykcn-tool: build, inspect and preview the vykcn module's resources"};
  app.set_version_flag("--version", "vykcn-tool " VYKCN_VERSION);
  app.require_subcommand(1);
  const std::vector<vykcn::tool::CommandRun> runs = vykcn::tool::AddCommands(app);
  // CLI11's complaint about a word that is no command does not name it; this one does.
  if (argc > 1 && argv[1][0] != '-' && vykcn::tool::FindCommand(argv[1]) == nullptr) {
    return Fail(std::string("unknown command '") + argv[1] + "' (vykcn-tool --help lists them)", failed);
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
    return Fail(std::string(e.what()) + " (--help for usage)", failed);
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    if (app.get_subcommand(static_cast<int>(i))->parsed()) {
      try {
        return runs[i]();
      } catch (const vykcn::tool::CommandError& e) {
        return Fail(e.what(), failed);
      }
    }
  }
  return Fail("no command given (vykcn-tool --help lists them)", failed);
}

// Output that never reached its file is a failure, whatever the command thought (a full disk
// under "> file" would otherwise cut a listing short with exit 0).
int CloseStandardOutput(int status, int failed) {
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const std::string flushFailure = vykcn::tool::system::WriteFailure(errno);
  const bool clean = std::ferror(stdout) == 0;
  if (std::fclose(stdout) == 0 && flushed && clean) return status;
  const std::string reason = !flushFailure.empty() ? flushFailure : vykcn::tool::system::WriteFailure(errno);
  return Fail("write error on standard output" + (reason.empty() ? "" : ": " + reason), failed);
}

int RunCaught(int argc, char** argv, int failed) {
  // Nothing unexpected reaches the user as an abort: it is one line and the failure status.
  try {
    return Run(argc, argv, failed);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory", failed);
  } catch (const std::exception& e) {
    return Fail(std::string("unexpected failure: ") + e.what(), failed);
  } catch (...) {
    return Fail("unexpected failure", failed);
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
  // The command's failure status, known before its words are read: a usage error fails with it too.
  const vykcn::tool::Command* command = utf8.size() > 2 ? vykcn::tool::FindCommand(utf8[1]) : nullptr;
  const int failed = command != nullptr ? command->failureStatus : vykcn::tool::kExitFailure;
  return CloseStandardOutput(RunCaught(static_cast<int>(utf8.size() - 1), utf8.data(), failed), failed);
}

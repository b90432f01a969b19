#pragma once
// Runs the built vykcn-tool as a user would, for the tests that check it from outside. The
// arguments reach it as they are (no shell in between); its exit code and each output stream come
// back on their own, so that a test also sees on which stream a message went.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace vykcn::test {

struct ToolRun {
  int exitCode = -1;  // -1: no process, or it did not exit by itself; 127: the tool would not start
  std::string out;    // standard output
  std::string err;    // standard error
};

inline std::string ReadCapturedStream(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  return text;
}

// Runs `program` (a path) the same way.
inline ToolRun RunProgram(std::string program, std::vector<std::string> arguments,
                          const char* standardOutput = nullptr) {
  ToolRun run;
  // Files rather than pipes: a tool that fills one stream cannot block on it while the other is read.
  std::FILE* out = standardOutput != nullptr ? std::fopen(standardOutput, "w") : std::tmpfile();
  std::FILE* err = std::tmpfile();
  if (out != nullptr && err != nullptr) {
    std::vector<char*> argv = {program.data()};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      dup2(fileno(out), STDOUT_FILENO);
      dup2(fileno(err), STDERR_FILENO);
      execv(argv[0], argv.data());
      _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (standardOutput == nullptr) run.out = ReadCapturedStream(out);
    run.err = ReadCapturedStream(err);
  }
  if (out != nullptr) std::fclose(out);
  if (err != nullptr) std::fclose(err);
  return run;
}

// `standardOutput`, when given, is the file the tool's standard output goes to (a full device, say);
// run.out then stays empty.
inline ToolRun RunTool(std::vector<std::string> arguments, const char* standardOutput = nullptr) {
  return RunProgram(VYKCN_TOOL_PATH, std::move(arguments), standardOutput);
}

}  // namespace vykcn::test

#pragma once
// Runs the built vykcn-tool as a user would, for the tests that check it from outside. The
// arguments reach it as they are (no shell in between); its exit code and each output stream come
// back on their own, so that a test also sees on which stream a message went.
//
// With VYKCN_TOOL_EXE naming vykcn-tool.exe in the environment (the Windows build's tests set it),
// the same tests run that program under Wine instead (scripts/wine-run.sh, with one wineserver kept
// for the whole test process): arguments that are absolute paths go in as Wine's Z: paths, and come
// back out of the outputs in their Unix form (with the paths the tool made below them, and the
// tool's own folder), CR LF as LF.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

// The Windows tool under test, or null for the Linux one.
inline const char* WindowsToolUnderTest() { return std::getenv("VYKCN_TOOL_EXE"); }

inline std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

// The folder of a file, given with '/'.
inline std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// A default font (font_building/default_fonts.h) of the tool under test: the file beside it.
inline std::string BesideTheTool(const std::string& name) {
  const char* exe = WindowsToolUnderTest();
  return FolderOf(exe != nullptr ? exe : VYKCN_TOOL_PATH) + "/" + name;
}

// A path as the tool under test is given it, and names it in what it writes: on Windows, Z:\...
inline std::string AsGiven(const std::string& path) {
  return WindowsToolUnderTest() != nullptr && !path.empty() && path[0] == '/' ? WindowsPath(path) : path;
}

// The outputs as the Linux tool writes them: each Windows path given back in its Unix form, with
// the rest of a path the tool made below it (up to a ':', a quote or a blank), and LF line ends.
inline std::string AsOnLinux(std::string text, std::vector<std::pair<std::string, std::string>> paths) {
  std::string lf;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
  }
  std::sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
  for (const auto& [windows, unix] : paths) {
    for (size_t at = lf.find(windows); at != std::string::npos; at = lf.find(windows, at)) {
      size_t end = at + windows.size();
      while (end < lf.size() && std::string(":\"' \t\r\n").find(lf[end]) == std::string::npos) ++end;
      std::string tail = lf.substr(at + windows.size(), end - at - windows.size());
      std::replace(tail.begin(), tail.end(), '\\', '/');
      lf.replace(at, end - at, unix + tail);
      at += unix.size() + tail.size();
    }
  }
  return lf;
}

// Runs `command` (a program's path and its first arguments) with `arguments` the same way.
inline ToolRun RunProgram(std::vector<std::string> command, const std::vector<std::string>& arguments,
                          const char* standardOutput = nullptr) {
  ToolRun run;
  // Files rather than pipes: a tool that fills one stream cannot block on it while the other is read.
  std::FILE* out = standardOutput != nullptr ? std::fopen(standardOutput, "w") : std::tmpfile();
  std::FILE* err = std::tmpfile();
  if (out != nullptr && err != nullptr) {
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& part : command) argv.push_back(part.data());
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

// Runs the tool under test: the Linux one, or with VYKCN_TOOL_EXE set, that Windows tool under
// Wine, its paths given as Z:\... and its outputs read back as the Linux tool writes them.
// `standardOutput`, when given, is the file the tool's standard output goes to (a full device, say);
// run.out then stays empty.
inline ToolRun RunTool(std::vector<std::string> arguments, const char* standardOutput = nullptr) {
  const char* exe = WindowsToolUnderTest();
  if (exe == nullptr) return RunProgram({VYKCN_TOOL_PATH}, arguments, standardOutput);
  static const int kept = std::system("bash '" VYKCN_SOURCE_ROOT "/scripts/wine-run.sh' --keep-server 60");
  (void)kept;
  // The paths given, and the tool's own folder (where its default fonts are), given back as Unix paths.
  std::vector<std::pair<std::string, std::string>> paths = {{WindowsPath(FolderOf(exe)), FolderOf(exe)}};
  for (std::string& argument : arguments) {
    if (argument.empty() || argument[0] != '/') continue;
    paths.emplace_back(WindowsPath(argument), argument);
    argument = paths.back().first;
  }
  ToolRun run = RunProgram({"/bin/bash", VYKCN_SOURCE_ROOT "/scripts/wine-run.sh", exe}, arguments, standardOutput);
  run.out = AsOnLinux(run.out, paths);
  run.err = AsOnLinux(run.err, paths);
  return run;
}

}  // namespace vykcn::test

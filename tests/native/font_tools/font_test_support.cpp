#include "font_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace vykcn::test {

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "vykcn-font-tools-" + std::to_string(getpid()) + "-" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

ToolRun RunTool(const std::vector<std::string>& arguments) {
  std::string command = VYKCN_TOOL_PATH;
  for (const std::string& a : arguments) {
    std::string quoted = "'";
    for (char c : a) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += " " + quoted + "'";
  }
  command += " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ExpectedAtlasPrefix() {
  std::vector<uint8_t> h(128, 0);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = uint8_t(v >> (8 * i));
  };
  h[0] = 'D', h[1] = 'D', h[2] = 'S', h[3] = ' ';
  put(4, 124);          // header size
  put(8, 0x81007);      // caps, height, width, pixel format, linear size
  put(12, 1024);        // height
  put(16, 2048);        // width
  put(20, 2097152);     // linear size
  put(76, 32);          // pixel format size
  put(80, 4);           // FourCC only
  h[84] = 'D', h[85] = 'X', h[86] = 'T', h[87] = '5';
  put(108, 0x1000);     // caps: texture
  return h;
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace vykcn::test

#pragma once
// Temporary translators' files for the packing tests, and an image decoded from a resource by
// the test's own means (the project's decoder for the LZX part, a plain reader for the records).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vykcn::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vykcn-packing-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string file = (path_ / name).string();
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// h = h * 131 + (signed) byte, written out here on its own.
inline uint32_t TestHash(const std::string& text) {
  uint32_t h = 0;
  for (char c : text) h = h * 131u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  return h;
}

// The image the records should make: count, then hash + text + 0 per record.
inline std::vector<uint8_t> ExpectedImage(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<uint8_t> out;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(static_cast<uint32_t>(pairs.size()));
  for (const auto& [host, translation] : pairs) {
    put32(TestHash(host));
    out.insert(out.end(), translation.begin(), translation.end());
    out.push_back(0);
  }
  return out;
}

inline std::string RunTool(const std::string& arguments, int* exit_code) {
  const std::string command = std::string(VYKCN_TOOL_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

}  // namespace vykcn::test

#pragma once
// Files for the toolkit's tests: a temporary folder per test, and whole-file reads and writes.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vykcn::test {

// A new folder in the system's temporary folder, removed with its content at the end of the test.
// Each test gets its own, since ctest may run several test processes side by side.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& name) const;
  // Writes `content` to the file `name` in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

// The file's bytes; none when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vykcn::test

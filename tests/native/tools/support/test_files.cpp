#include "tools/support/test_files.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace vykcn::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vykcn-tools-XXXXXX").string();
  path_ = mkdtemp(pattern.data());
}

TempDir::~TempDir() { std::filesystem::remove_all(path_); }

std::string TempDir::Path(const std::string& name) const { return (path_ / name).string(); }

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  const std::string file = Path(name);
  std::ofstream(file, std::ios::binary) << content;
  return file;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vykcn::test

#include "binary_corpus.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vykcn::bench {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadStrippedBinary(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path stripped = fs::temp_directory_path() / ("lzx-bench-stripped-" + std::to_string(getpid()) + ".dll");
  const std::string command = "x86_64-w64-mingw32-strip -o '" + stripped.string() + "' '" + path + "' 2>/dev/null";
  std::vector<uint8_t> bytes;
  if (std::system(command.c_str()) == 0) bytes = ReadFileBytes(stripped.string());
  std::error_code ignored;
  fs::remove(stripped, ignored);
  return bytes;
}

}  // namespace vykcn::bench

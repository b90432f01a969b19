#include "font_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace vykcn::test

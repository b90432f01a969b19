// Writes the device proxy tests' font atlas: the shipping DDS layout (2048 x 1024 DXT5, one
// level) filled with pseudo-random blocks, so that any misplaced or dropped block shows up when
// the tests read the texture back. Built and run on the build machine.
#include <cstdio>
#include <vector>

#include "font/dds_atlas.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_test_atlas OUT.dds\n");
    return 2;
  }
  std::vector<uint8_t> file(vykcn::kAtlasFileSize);
  vykcn::WriteAtlasDdsHeader(file.data());
  uint32_t state = 0x9E3779B9u;  // xorshift32
  for (size_t i = vykcn::kDdsHeaderSize; i < file.size(); ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    file[i] = static_cast<uint8_t>(state >> 24);
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "make_test_atlas: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

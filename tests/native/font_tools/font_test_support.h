#pragma once
// Fonts and small independent helpers shared by the font toolkit tests.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::test {

inline const std::string kMicroHei = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
inline const std::string kDroidFallback = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";

// The BC3 alpha palette written out from the format's definition, rounded to nearest.
inline std::vector<int> ReferenceAlphaPalette(int a0, int a1) {
  std::vector<int> p = {a0, a1};
  if (a0 > a1) {
    for (int k = 1; k <= 6; ++k) p.push_back(((7 - k) * a0 + k * a1 + 3) / 7);
  } else {
    for (int k = 1; k <= 4; ++k) p.push_back(((5 - k) * a0 + k * a1 + 2) / 5);
    p.push_back(0);
    p.push_back(255);
  }
  return p;
}

// Decodes an 8-byte alpha block with the palette above.
inline std::vector<int> ReferenceDecodeAlpha(const uint8_t* block) {
  const std::vector<int> palette = ReferenceAlphaPalette(block[0], block[1]);
  std::vector<int> alpha(16);
  for (int i = 0; i < 16; ++i) {
    const int bit = 16 + 3 * i;  // indices start after the two endpoint bytes
    int index = 0;
    for (int b = 0; b < 3; ++b) index |= ((block[(bit + b) / 8] >> ((bit + b) % 8)) & 1) << b;
    alpha[i] = palette[index];
  }
  return alpha;
}

struct ToolRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};
// Runs the built vykcn-tool with shell-quoted arguments.
ToolRun RunTool(const std::vector<std::string>& arguments);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The font atlas's 128-byte DDS prefix, written out field by field.
std::vector<uint8_t> ExpectedAtlasPrefix();

std::string TempPath(const std::string& name);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace vykcn::test

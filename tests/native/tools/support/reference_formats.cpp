#include "tools/support/reference_formats.h"

#include "base/byte_order.h"

namespace vykcn::test {

uint32_t TestHash(const std::string& text) {
  uint32_t h = 0;
  for (char c : text) h = h * 131u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  return h;
}

std::vector<uint8_t> ImageOfRecords(const std::vector<std::pair<uint32_t, std::string>>& records) {
  std::vector<uint8_t> image(4);
  WriteU32LE(image.data(), static_cast<uint32_t>(records.size()));
  for (const auto& [hash, text] : records) {
    const size_t at = image.size();
    image.resize(at + 4);
    WriteU32LE(image.data() + at, hash);
    image.insert(image.end(), text.begin(), text.end());
    image.push_back(0);
  }
  return image;
}

std::vector<uint8_t> ExpectedImage(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<std::pair<uint32_t, std::string>> records;
  for (const auto& [host, translation] : pairs) records.emplace_back(TestHash(host), translation);
  return ImageOfRecords(records);
}

std::vector<uint8_t> ExpectedAtlasPrefix(uint32_t width, uint32_t height) {
  std::vector<uint8_t> h(128, 0);
  h[0] = 'D', h[1] = 'D', h[2] = 'S', h[3] = ' ';
  WriteU32LE(&h[4], 124);        // header size
  WriteU32LE(&h[8], 0x81007);    // caps, height, width, pixel format, linear size
  WriteU32LE(&h[12], height);
  WriteU32LE(&h[16], width);
  WriteU32LE(&h[20], width * height);  // linear size: BC3 takes one byte per texel
  WriteU32LE(&h[76], 32);        // pixel format size
  WriteU32LE(&h[80], 4);         // FourCC only
  h[84] = 'D', h[85] = 'X', h[86] = 'T', h[87] = '5';
  WriteU32LE(&h[108], 0x1000);   // caps: texture
  return h;
}

}  // namespace vykcn::test

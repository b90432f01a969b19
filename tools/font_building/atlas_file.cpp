#include "font_building/atlas_file.h"

#include <cstring>
#include <regex>

#include "common/command_error.h"
#include "font_building/bc3_block.h"

namespace vykcn::tool {

std::vector<uint8_t> BuildAtlasFile(const std::vector<uint8_t>& blocks, AtlasSize size) {
  if (!IsAtlasSize(size) || blocks.size() != AtlasBlockBytes(size)) {
    throw CommandError("internal: atlas block data has the wrong size");
  }
  std::vector<uint8_t> file(AtlasFileSize(size));
  WriteAtlasDdsHeader(file.data(), size);
  std::memcpy(file.data() + kDdsHeaderSize, blocks.data(), blocks.size());
  return file;
}

std::string AtlasFileProblem(const std::vector<uint8_t>& file, AtlasSize* size) {
  AtlasSize stated;
  if (!ReadAtlasDdsSize(file.data(), file.size(), &stated)) {
    return "its DDS header is not that of a 2048 x 1024 (or 4096 x 2048, 4096 x 4096) DXT5 texture with one "
           "level and the required flags";
  }
  if (file.size() != AtlasFileSize(stated)) {
    return "it is " + std::to_string(file.size()) + " bytes long, not " + std::to_string(AtlasFileSize(stated)) +
           " as its " + DescribeAtlasSize(stated) + " header says";
  }
  if (size != nullptr) *size = stated;
  return "";
}

AtlasImage DecodeAtlasFile(const std::vector<uint8_t>& file, const std::string& what) {
  AtlasImage image;
  const std::string problem = AtlasFileProblem(file, &image.size);
  if (!problem.empty()) throw CommandError(what + " is not a font atlas: " + problem);
  image.rgba = DecodeBc3Image(file.data() + kDdsHeaderSize, image.size.width, image.size.height);
  return image;
}

std::string DescribeAtlasSize(AtlasSize size) {
  return std::to_string(size.width) + " x " + std::to_string(size.height);
}

bool ParseAtlasSize(const std::string& text, AtlasSize* size) {
  static const std::regex kPattern(R"(\s*(\d{1,5})\s*[xX]\s*(\d{1,5})\s*)");
  std::smatch match;
  if (!std::regex_match(text, match, kPattern)) return false;
  const AtlasSize parsed{std::stoi(match[1]), std::stoi(match[2])};
  if (!IsAtlasSize(parsed)) return false;
  *size = parsed;
  return true;
}

}  // namespace vykcn::tool

#include "font_building/atlas_file.h"

#include <cstring>

#include "common/command_error.h"
#include "font_building/bc3_block.h"
#include "formats/dds_atlas.h"

namespace vykcn::tool {

std::vector<uint8_t> BuildAtlasFile(const std::vector<uint8_t>& blocks) {
  if (blocks.size() != kAtlasBlockBytes) throw CommandError("internal: atlas block data has the wrong size");
  std::vector<uint8_t> file(kAtlasFileSize);
  WriteAtlasDdsHeader(file.data());
  std::memcpy(file.data() + kDdsHeaderSize, blocks.data(), blocks.size());
  return file;
}

std::string AtlasFileProblem(const std::vector<uint8_t>& file) {
  if (!IsAtlasDdsHeader(file.data(), file.size())) {
    return "its DDS header is not that of a 2048 x 1024 DXT5 texture with one level and the required flags";
  }
  if (file.size() != kAtlasFileSize) {
    return "it is " + std::to_string(file.size()) + " bytes long, not " + std::to_string(kAtlasFileSize);
  }
  return "";
}

std::vector<uint8_t> DecodeAtlasFile(const std::vector<uint8_t>& file, const std::string& what) {
  const std::string problem = AtlasFileProblem(file);
  if (!problem.empty()) throw CommandError(what + " is not a font atlas: " + problem);
  return DecodeBc3Image(file.data() + kDdsHeaderSize, kAtlasWidth, kAtlasHeight);
}

}  // namespace vykcn::tool

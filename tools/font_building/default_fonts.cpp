#include "font_building/default_fonts.h"

#include "system/files.h"

namespace vykcn::tool {

const char* const kDefaultFontFiles[2] = {"wqy-microhei.ttc", "DejaVuSans.ttf"};

FontFiles DefaultFonts() {
  const std::string folder = system::ThisProgramsFolder();
  return FontFiles(system::JoinPath(folder, kDefaultFontFiles[0]), 0, {system::JoinPath(folder, kDefaultFontFiles[1])});
}

}  // namespace vykcn::tool

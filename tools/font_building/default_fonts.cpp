#include "font_building/default_fonts.h"

#include "system/files.h"

namespace vykcn::tool {

FontFiles DefaultFonts() {
  // The names tools/CMakeLists.txt copies the fonts under, from Debian's fonts-wqy-microhei and
  // fonts-dejavu-core (scripts/install-deps.sh installs both).
  const std::string folder = system::ThisProgramsFolder();
  return FontFiles(system::JoinPath(folder, "wqy-microhei.ttc"), 0, {system::JoinPath(folder, "DejaVuSans.ttf")});
}

}  // namespace vykcn::tool

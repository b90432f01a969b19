#include "font_building/default_fonts.h"

namespace vykcn::tool {
namespace {

// Where a default font is: the system's fonts folder, where Debian's fonts-wqy-microhei and
// fonts-dejavu-core put them (scripts/install-deps.sh installs both).
std::string DefaultFontPath(const std::string& file) { return "/usr/share/fonts/truetype/" + file; }

}  // namespace

FontFiles DefaultFonts() {
  return FontFiles(DefaultFontPath("wqy/wqy-microhei.ttc"), 0, {DefaultFontPath("dejavu/DejaVuSans.ttf")});
}

}  // namespace vykcn::tool

#pragma once
// Fonts of the build machine that the toolkit's tests rasterise.
#include <string>

namespace vykcn::test {

inline const std::string kMicroHei = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
// Ideographs and a space, but no Latin letters.
inline const std::string kDroidFallback = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
// Latin, Greek, Cyrillic and modifier letters (U+02BB) that WenQuanYi Micro Hei lacks; no ideographs.
inline const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

}  // namespace vykcn::test

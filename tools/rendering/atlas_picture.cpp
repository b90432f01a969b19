#include "rendering/atlas_picture.h"

#include <cmath>

namespace vykcn::tool {

TextImage DrawAtlas(const AtlasImage& atlas, const TextStyle& style) {
  TextImage image;
  image.width = atlas.size.width;
  image.height = atlas.size.height;
  const size_t texels = size_t(image.width) * image.height;
  image.rgb.resize(texels * 3);
  for (size_t i = 0; i < texels; ++i) {
    const uint8_t* texel = &atlas.rgba[i * 4];
    const float alpha = texel[3] / 255.0f;
    for (int c = 0; c < 3; ++c) {
      image.rgb[i * 3 + c] = static_cast<uint8_t>(std::lround(style.background[c] * (1 - alpha) + texel[c] * alpha));
    }
  }
  return image;
}

}  // namespace vykcn::tool

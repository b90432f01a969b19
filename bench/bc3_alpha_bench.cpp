// BC3 alpha quality and speed on one anti-aliased glyph atlas: our encoder against stb_dxt and
// libsquish, each decoded by our decoder and by libsquish's, so that the figures do not hinge on
// one decoder's rounding of the interpolated alpha values.
//
//   bc3_alpha_bench [FONT]   (default: WenQuanYi Micro Hei)
#include <squish.h>
#include <stb_dxt.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/command_error.h"
#include "font_building/alpha_psnr.h"
#include "font_building/bc3_block.h"
#include "font_building/bc3_encoder.h"
#include "font_building/font_pack.h"
#include "font_building/font_rasterizer.h"
#include "formats/glyph_table.h"

using namespace vykcn;
using namespace vykcn::tool;

namespace {

constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

// ASCII plus the first ideographs the font has, enough to fill most of the atlas.
GlyphCharset AtlasCharset(const std::string& font, size_t ideographs) {
  FontRasterizer rasterizer(font);
  GlyphCharset charset;
  for (uint16_t c = 0x20; c <= 0x7F; ++c) charset.codes.push_back(c);
  for (uint32_t c = 0x4E00; c <= 0x9FA5 && charset.codes.size() < 96 + ideographs; ++c) {
    if (rasterizer.HasGlyph(c)) charset.codes.push_back(static_cast<uint16_t>(c));
  }
  return charset;
}

std::vector<uint8_t> WhiteRgba(const std::vector<uint8_t>& coverage) {
  std::vector<uint8_t> rgba(coverage.size() * 4, 255);
  for (size_t i = 0; i < coverage.size(); ++i) rgba[i * 4 + 3] = coverage[i];
  return rgba;
}

// Runs a per-block encoder over the atlas, 4 x 4 RGBA texels at a time.
std::vector<uint8_t> EncodeBlocks(const std::vector<uint8_t>& rgba,
                                  const std::function<void(const uint8_t* texels, uint8_t* block)>& encode) {
  std::vector<uint8_t> blocks(size_t(kAtlasWidth / 4) * (kAtlasHeight / 4) * kBc3BlockSize);
  uint8_t texels[64];
  for (int by = 0; by < kAtlasHeight / 4; ++by) {
    for (int bx = 0; bx < kAtlasWidth / 4; ++bx) {
      for (int row = 0; row < 4; ++row) {
        std::memcpy(texels + row * 16, &rgba[((size_t(by) * 4 + row) * kAtlasWidth + bx * 4) * 4], 16);
      }
      encode(texels, &blocks[(size_t(by) * (kAtlasWidth / 4) + bx) * kBc3BlockSize]);
    }
  }
  return blocks;
}

std::vector<uint8_t> SquishDecode(const std::vector<uint8_t>& blocks) {
  std::vector<uint8_t> rgba(size_t(kAtlasWidth) * kAtlasHeight * 4);
  squish::DecompressImage(rgba.data(), kAtlasWidth, kAtlasHeight, blocks.data(), squish::kDxt5);
  return rgba;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string font = argc > 1 ? argv[1] : kDefaultFont;
  try {
    const FontPack pack = BuildFontPack(font, AtlasCharset(font, 1800));
    const std::vector<uint8_t> rgba = WhiteRgba(pack.coverage);
    size_t coveredBlocks = 0;
    for (int by = 0; by < kAtlasHeight / 4; ++by)
      for (int bx = 0; bx < kAtlasWidth / 4; ++bx) {
        bool any = false;
        for (int i = 0; i < 16; ++i) any |= pack.coverage[size_t(by * 4 + i / 4) * kAtlasWidth + bx * 4 + i % 4] != 0;
        coveredBlocks += any;
      }
    std::printf("atlas: %zu glyphs, %zu of %d blocks with coverage\n\n", pack.records.size(), coveredBlocks,
                (kAtlasWidth / 4) * (kAtlasHeight / 4));

    struct Peer {
      const char* name;
      std::function<std::vector<uint8_t>()> encode;
    };
    const std::vector<Peer> peers = {
        {"stb_dxt (high quality)",
         [&] {
           return EncodeBlocks(rgba, [](const uint8_t* t, uint8_t* b) { stb_compress_dxt_block(b, t, 1, STB_DXT_HIGHQUAL); });
         }},
        {"libsquish (iterative cluster fit)",
         [&] {
           return EncodeBlocks(rgba, [](const uint8_t* t, uint8_t* b) {
             squish::Compress(t, b, squish::kDxt5 | squish::kColourIterativeClusterFit);
           });
         }},
        {"vykcn", [&] { return EncodeWhiteBc3(pack.coverage.data(), kAtlasWidth, kAtlasHeight); }},
    };

    std::printf("%-36s %12s %16s %10s %12s\n", "encoder", "PSNR (ours)", "PSNR (libsquish)", "seconds", "vs stb_dxt");
    double stbPsnr = 0;
    for (const Peer& peer : peers) {
      const auto start = std::chrono::steady_clock::now();
      const std::vector<uint8_t> blocks = peer.encode();
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const std::vector<uint8_t> ours = DecodeBc3Image(blocks.data(), kAtlasWidth, kAtlasHeight);
      const std::vector<uint8_t> theirs = SquishDecode(blocks);
      const double psnr = AlphaPsnr(pack.coverage.data(), ours.data(), kAtlasWidth, kAtlasHeight);
      const double psnrSquish = AlphaPsnr(pack.coverage.data(), theirs.data(), kAtlasWidth, kAtlasHeight);
      if (std::strncmp(peer.name, "stb", 3) == 0) stbPsnr = psnr;
      std::printf("%-36s %9.2f dB %13.2f dB %10.3f", peer.name, psnr, psnrSquish, seconds);
      if (stbPsnr != 0) std::printf(" %+9.2f dB", psnr - stbPsnr);
      std::printf("\n");
    }
  } catch (const CommandError& e) {
    std::fprintf(stderr, "bc3_alpha_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}

// The device proxy on Wine's Direct3D 11 with a module that carries a 4096 x 2048 atlas: the
// host's font texture gives way to a texture of the atlas's own size, made from its blocks. The
// module never looks at the atlas's size; the records' normalized coordinates address it.
#include <gtest/gtest.h>

#include <algorithm>

#include "device_proxy_test_support.h"
#include "test_support.h"

namespace vykcn::test {
namespace {

TEST(LargeAtlas, FontTextureIsReplacedByATextureOfTheAtlasOwnSize) {
  HMODULE module = LoadRelative("large-atlas-module\\vykcn.dll");
  ASSERT_NE(module, nullptr);
  PFN_D3D11_CREATE_DEVICE createDevice = FindCreateDeviceExport(module);
  ASSERT_NE(createDevice, nullptr);
  const std::vector<uint8_t> atlas = ReadAtlasResource(module);
  ASSERT_EQ(atlas.size(), kDdsPrefixBytes + 4096u * 2048u);  // one BC3 level of 4096 x 2048

  static const D3D_FEATURE_LEVEL kLevels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1};
  ID3D11Device* device = nullptr;
  ID3D11DeviceContext* context = nullptr;
  ASSERT_EQ(createDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, kLevels, 2, D3D11_SDK_VERSION, &device,
                         nullptr, &context), S_OK);
  const StandInLoaderLog* log = StandInLog();
  ASSERT_NE(log, nullptr) << "the stand-in d3dx11_43.dll is not the loader in use";
  const int loads = log->count;

  D3D11_TEXTURE2D_DESC desc = TextureDesc(kFontWidth, kFontHeight, DXGI_FORMAT_R8G8B8A8_UNORM);
  ID3D11Texture2D* texture = nullptr;
  ASSERT_EQ(CreateTextureThroughTable(device, &desc, nullptr, &texture), S_OK);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(log->count, loads + 1);
  D3D11_TEXTURE2D_DESC got{};
  texture->GetDesc(&got);
  EXPECT_EQ(got.Width, 4096u);
  EXPECT_EQ(got.Height, 2048u);
  EXPECT_EQ(got.Format, DXGI_FORMAT_BC3_UNORM);
  EXPECT_EQ(got.MipLevels, 1u);
  const std::vector<uint8_t> blocks = ReadBackBc3(device, context, texture);
  ASSERT_EQ(blocks.size() + kDdsPrefixBytes, atlas.size());
  EXPECT_TRUE(std::equal(blocks.begin(), blocks.end(), atlas.begin() + kDdsPrefixBytes))
      << "texture contents differ from resource 103's blocks";

  // A texture of the atlas's size is not the host's font texture: it is kept as created.
  D3D11_TEXTURE2D_DESC atlasSized = TextureDesc(4096, 2048, DXGI_FORMAT_BC3_UNORM);
  ID3D11Texture2D* other = nullptr;
  ASSERT_EQ(CreateTextureThroughTable(device, &atlasSized, nullptr, &other), S_OK);
  EXPECT_EQ(log->count, loads + 1);
  other->Release();
  texture->Release();
  context->Release();
  device->Release();
}

}  // namespace
}  // namespace vykcn::test

// The device proxy on Wine's Direct3D 11, through the test build of the module that carries the
// shipping atlas as resource 103, with the stand-in texture loader. All devices of one d3d11.dll
// share one interface table, so every test here sees the same hooked table in any order.
#include <gtest/gtest.h>

#include <cstring>

#include "device_proxy_test_support.h"
#include "test_support.h"

namespace vykcn::test {
namespace {

constexpr size_t kDeviceTableEntries = 43;  // IUnknown's 3 and ID3D11Device's 40 methods

struct ReleaseRecord {
  UINT width;
  UINT height;
  ULONG remaining;
};

using ReleaseMethod = ULONG(STDMETHODCALLTYPE*)(ID3D11Texture2D*);
ReleaseMethod gOriginalRelease = nullptr;
std::vector<ReleaseRecord> gReleases;

ULONG STDMETHODCALLTYPE WatchedRelease(ID3D11Texture2D* texture) {
  D3D11_TEXTURE2D_DESC desc{};
  texture->GetDesc(&desc);
  const ULONG remaining = gOriginalRelease(texture);
  gReleases.push_back({desc.Width, desc.Height, remaining});
  return remaining;
}

// Records every Release of a texture of `device`'s implementation while it lives, by patching the
// shared texture interface table: the host texture that the hook drops is never seen otherwise.
class TextureReleaseWatch {
 public:
  explicit TextureReleaseWatch(ID3D11Device* device) {
    D3D11_TEXTURE2D_DESC desc = TextureDesc(4, 4, DXGI_FORMAT_R8G8B8A8_UNORM);
    ID3D11Texture2D* sample = nullptr;
    EXPECT_EQ(device->CreateTexture2D(&desc, nullptr, &sample), S_OK);
    if (sample == nullptr) return;
    slot_ = const_cast<void**>(&InterfaceTable(sample)[2]);
    gOriginalRelease = reinterpret_cast<ReleaseMethod>(*slot_);
    WriteProtected(slot_, reinterpret_cast<void*>(&WatchedRelease));
    sample->Release();
    gReleases.clear();
  }
  ~TextureReleaseWatch() {
    if (slot_ != nullptr) WriteProtected(slot_, reinterpret_cast<void*>(gOriginalRelease));
  }
  const std::vector<ReleaseRecord>& releases() const { return gReleases; }
  void clear() { gReleases.clear(); }

 private:
  void** slot_ = nullptr;
};

template <typename T>
struct ComRef {
  T* p = nullptr;
  ~ComRef() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
};

class RealDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadRelative("atlas-module\\vykcn.dll");
    ASSERT_NE(module_, nullptr);
    createDevice_ = FindCreateDeviceExport(module_);
    atlas_ = ReadAtlasResource(module_);
    // The d3d11 table as it is before any device went through the export.
    ID3D11Device* plain = nullptr;
    ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION,
                                &plain, nullptr, nullptr), S_OK);
    Table table = InterfaceTable(plain);
    std::copy(table, table + kDeviceTableEntries, originalTable_);
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(const_cast<void**>(table), &info, sizeof(info));
    originalProtection_ = info.Protect;
    plainDevice_ = plain;
    ASSERT_EQ(CreateThroughExport(&device_, &context_), S_OK);
  }

  void SetUp() override { ASSERT_NE(device_, nullptr) << "no device through the export"; }

  static HRESULT CreateThroughExport(ID3D11Device** device, ID3D11DeviceContext** context,
                                     D3D_FEATURE_LEVEL* level = nullptr) {
    static const D3D_FEATURE_LEVEL kLevels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                                D3D_FEATURE_LEVEL_10_0};
    return createDevice_(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, kLevels, 3, D3D11_SDK_VERSION, device,
                         level, context);
  }

  // Checks that `texture` is a new texture made from resource 103, held by one reference.
  static void ExpectAtlas(ID3D11Device* device, ID3D11DeviceContext* context, ID3D11Texture2D* texture) {
    ASSERT_NE(texture, nullptr);
    D3D11_TEXTURE2D_DESC desc{};
    texture->GetDesc(&desc);
    EXPECT_EQ(desc.Width, kAtlasTextureWidth);
    EXPECT_EQ(desc.Height, kAtlasTextureHeight);
    EXPECT_EQ(desc.Format, DXGI_FORMAT_BC3_UNORM);
    EXPECT_EQ(desc.MipLevels, 1u);
    EXPECT_EQ(desc.ArraySize, 1u);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    const std::vector<uint8_t> blocks = ReadBackBc3(device, context, texture);
    ASSERT_EQ(blocks.size() + kDdsPrefixBytes, atlas_.size());
    EXPECT_TRUE(std::equal(blocks.begin(), blocks.end(), atlas_.begin() + kDdsPrefixBytes))
        << "texture contents differ from resource 103's blocks";
  }

  static HMODULE module_;
  static PFN_D3D11_CREATE_DEVICE createDevice_;
  static std::vector<uint8_t> atlas_;
  static void* originalTable_[kDeviceTableEntries];
  static DWORD originalProtection_;
  static ID3D11Device* plainDevice_;
  static ID3D11Device* device_;
  static ID3D11DeviceContext* context_;
};

HMODULE RealDevice::module_ = nullptr;
PFN_D3D11_CREATE_DEVICE RealDevice::createDevice_ = nullptr;
std::vector<uint8_t> RealDevice::atlas_;
void* RealDevice::originalTable_[kDeviceTableEntries] = {};
DWORD RealDevice::originalProtection_ = 0;
ID3D11Device* RealDevice::plainDevice_ = nullptr;
ID3D11Device* RealDevice::device_ = nullptr;
ID3D11DeviceContext* RealDevice::context_ = nullptr;

TEST_F(RealDevice, ExportPatchesOnlyEntry5OfTheSharedTableAndRestoresItsProtection) {
  ASSERT_NE(device_, nullptr);
  ASSERT_NE(context_, nullptr);
  ASSERT_EQ(atlas_.size(), kDdsPrefixBytes + 2048u * 1024u);  // one BC3 level of 2048 x 1024

  Table table = InterfaceTable(device_);
  EXPECT_EQ(table, InterfaceTable(plainDevice_));
  for (size_t i = 0; i < kDeviceTableEntries; ++i) {
    if (i == 5) continue;
    EXPECT_EQ(table[i], originalTable_[i]) << "entry " << i;
  }
  EXPECT_NE(table[5], originalTable_[5]);
  EXPECT_TRUE(InModuleImage(module_, table[5])) << "entry 5 is not the module's hook";
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(const_cast<void**>(table), &info, sizeof(info));
  EXPECT_EQ(info.Protect, originalProtection_);
}

struct FontTextureCase {
  const char* name;
  DXGI_FORMAT format;
  UINT bindFlags;
  D3D11_USAGE usage;
  UINT mipLevels;
  bool withInitialData;
};

TEST_F(RealDevice, EveryFontSizedTextureIsReplacedByTheAtlasWhateverItsOtherFields) {
  const FontTextureCase cases[] = {
      {"RGBA shader resource with data", DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_SHADER_RESOURCE, D3D11_USAGE_DEFAULT, 1, true},
      {"BGRA render target", DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET,
       D3D11_USAGE_DEFAULT, 1, false},
      {"BC3 full mip chain", DXGI_FORMAT_BC3_UNORM, D3D11_BIND_SHADER_RESOURCE, D3D11_USAGE_DEFAULT, 0, false},
      {"A8 without bind flags", DXGI_FORMAT_A8_UNORM, 0, D3D11_USAGE_DEFAULT, 1, false},
      {"dynamic RGBA", DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_SHADER_RESOURCE, D3D11_USAGE_DYNAMIC, 1, false},
      {"staging RGBA", DXGI_FORMAT_R8G8B8A8_UNORM, 0, D3D11_USAGE_STAGING, 1, false},
  };
  std::vector<uint32_t> texels(size_t{kFontWidth} * kFontHeight, 0x80FF00FFu);
  const StandInLoaderLog* log = StandInLog();
  ASSERT_NE(log, nullptr) << "the stand-in d3dx11_43.dll is not the loader in use";
  TextureReleaseWatch watch(device_);

  for (const FontTextureCase& c : cases) {
    SCOPED_TRACE(c.name);
    watch.clear();
    const int loads = log->count;
    D3D11_TEXTURE2D_DESC desc = TextureDesc(kFontWidth, kFontHeight, c.format, c.bindFlags, c.usage, c.mipLevels);
    D3D11_SUBRESOURCE_DATA data{texels.data(), kFontWidth * 4, 0};
    ComRef<ID3D11Texture2D> texture;
    ASSERT_EQ(device_->CreateTexture2D(&desc, c.withInitialData ? &data : nullptr, &texture.p), S_OK);

    // The host's texture was created as asked, then dropped with its one reference.
    ASSERT_EQ(watch.releases().size(), 1u);
    EXPECT_EQ(watch.releases()[0].width, kFontWidth);
    EXPECT_EQ(watch.releases()[0].height, kFontHeight);
    EXPECT_EQ(watch.releases()[0].remaining, 0u);
    // One load of integer resource 103 from the module, with the loader's defaults.
    EXPECT_EQ(log->count, loads + 1);
    EXPECT_EQ(log->last.device, device_);
    EXPECT_EQ(log->last.module, module_);
    EXPECT_EQ(log->last.resource, MAKEINTRESOURCEA(kAtlasResource));
    EXPECT_EQ(log->last.loadInfo, nullptr);
    EXPECT_EQ(log->last.threadPump, nullptr);
    EXPECT_EQ(log->last.resultOut, nullptr);
    ExpectAtlas(device_, context_, texture.p);
  }
}

TEST_F(RealDevice, OtherSizesAreKeptAsCreated) {
  const D3D11_TEXTURE2D_DESC descs[] = {
      TextureDesc(kFontHeight, kFontWidth, DXGI_FORMAT_R8G8B8A8_UNORM),  // width and height exchanged
      TextureDesc(1024, 1024, DXGI_FORMAT_R8G8B8A8_UNORM),
      TextureDesc(1024, 1408, DXGI_FORMAT_BC3_UNORM),
      TextureDesc(1020, 1404, DXGI_FORMAT_BC3_UNORM),
      TextureDesc(kAtlasTextureWidth, kAtlasTextureHeight, DXGI_FORMAT_BC3_UNORM),
  };
  const StandInLoaderLog* log = StandInLog();
  ASSERT_NE(log, nullptr);
  const int loads = log->count;
  TextureReleaseWatch watch(device_);
  for (const D3D11_TEXTURE2D_DESC& asked : descs) {
    SCOPED_TRACE(testing::Message() << asked.Width << " x " << asked.Height);
    watch.clear();
    ComRef<ID3D11Texture2D> texture;
    ASSERT_EQ(device_->CreateTexture2D(&asked, nullptr, &texture.p), S_OK);
    D3D11_TEXTURE2D_DESC got{};
    texture->GetDesc(&got);
    EXPECT_EQ(got.Width, asked.Width);
    EXPECT_EQ(got.Height, asked.Height);
    EXPECT_EQ(got.Format, asked.Format);
    EXPECT_TRUE(watch.releases().empty());
  }
  EXPECT_EQ(log->count, loads);
}

TEST_F(RealDevice, EachFontTextureGetsItsOwnAtlasTexture) {
  D3D11_TEXTURE2D_DESC desc = TextureDesc(kFontWidth, kFontHeight, DXGI_FORMAT_R8G8B8A8_UNORM);
  ComRef<ID3D11Texture2D> first;
  ComRef<ID3D11Texture2D> second;
  ASSERT_EQ(device_->CreateTexture2D(&desc, nullptr, &first.p), S_OK);
  ASSERT_EQ(device_->CreateTexture2D(&desc, nullptr, &second.p), S_OK);
  EXPECT_NE(first.p, second.p);
  ExpectAtlas(device_, context_, first.p);
  ExpectAtlas(device_, context_, second.p);
  // Releasing one leaves the other whole.
  first.p->Release();
  first.p = nullptr;
  ExpectAtlas(device_, context_, second.p);
}

TEST_F(RealDevice, LaterDevicesUseTheSavedMethods) {
  // A second device through the export: the table's entry 5 is already the hook; the hook must
  // still reach the device's own CreateTexture2D, so the saved copy was not retaken.
  ComRef<ID3D11Device> second;
  ComRef<ID3D11DeviceContext> secondContext;
  D3D_FEATURE_LEVEL level{};
  ASSERT_EQ(CreateThroughExport(&second.p, &secondContext.p, &level), S_OK);
  EXPECT_EQ(level, device_->GetFeatureLevel());
  EXPECT_EQ(InterfaceTable(second.p)[5], InterfaceTable(device_)[5]);

  D3D11_TEXTURE2D_DESC font = TextureDesc(kFontWidth, kFontHeight, DXGI_FORMAT_R8G8B8A8_UNORM);
  ComRef<ID3D11Texture2D> onSecond;
  ASSERT_EQ(second->CreateTexture2D(&font, nullptr, &onSecond.p), S_OK);
  ExpectAtlas(second.p, secondContext.p, onSecond.p);

  // A device made without the export shares the patched table and is served the same way.
  ComRef<ID3D11DeviceContext> plainContext;
  plainDevice_->GetImmediateContext(&plainContext.p);
  ComRef<ID3D11Texture2D> onPlain;
  ASSERT_EQ(plainDevice_->CreateTexture2D(&font, nullptr, &onPlain.p), S_OK);
  ExpectAtlas(plainDevice_, plainContext.p, onPlain.p);
}

TEST_F(RealDevice, CreationResultsOtherThanSuccessPassThroughUnchanged) {
  // Invalid arguments: the export answers exactly what d3d11 answers.
  ID3D11Device* device = reinterpret_cast<ID3D11Device*>(1);
  const HRESULT direct = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_UNKNOWN, nullptr, 0, nullptr, 0,
                                           D3D11_SDK_VERSION, &device, nullptr, nullptr);
  ASSERT_NE(direct, S_OK);
  device = reinterpret_cast<ID3D11Device*>(1);
  EXPECT_EQ(createDevice_(nullptr, D3D_DRIVER_TYPE_UNKNOWN, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                          nullptr, nullptr), direct);

  // A feature-level probe without a device out-pointer.
  D3D_FEATURE_LEVEL directLevel{}, proxiedLevel{};
  const HRESULT probe = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                          D3D11_SDK_VERSION, nullptr, &directLevel, nullptr);
  EXPECT_EQ(createDevice_(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, nullptr,
                          &proxiedLevel, nullptr), probe);
  EXPECT_EQ(proxiedLevel, directLevel);
}

}  // namespace
}  // namespace vykcn::test

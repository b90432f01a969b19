// The device proxy against a device of our own, for what a real device cannot be made to do:
// scripted creation and texture results, interface tables of our choosing, and a missing atlas.
// The module's import of D3D11CreateDevice is pointed at a script that hands out the fake.
// Each test runs in a process of its own (see CMakeLists.txt): the saved methods are per process.
#include <gtest/gtest.h>

#include "device_proxy_test_support.h"
#include "fake_device.h"
#include "test_support.h"

namespace vykcn::test {
namespace {

struct CreateDeviceScript {
  HRESULT result = S_OK;
  ID3D11Device* device = nullptr;  // written through the out-pointer when there is one
  int calls = 0;
  // The arguments of the last call.
  IDXGIAdapter* adapter = nullptr;
  D3D_DRIVER_TYPE driverType{};
  HMODULE software = nullptr;
  UINT flags = 0;
  const D3D_FEATURE_LEVEL* levels = nullptr;
  UINT levelCount = 0;
  UINT sdkVersion = 0;
  ID3D11Device** deviceOut = nullptr;
  D3D_FEATURE_LEVEL* levelOut = nullptr;
  ID3D11DeviceContext** contextOut = nullptr;
};
CreateDeviceScript gScript;

HRESULT WINAPI ScriptedCreateDevice(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType, HMODULE software, UINT flags,
                                    const D3D_FEATURE_LEVEL* levels, UINT levelCount, UINT sdkVersion,
                                    ID3D11Device** device, D3D_FEATURE_LEVEL* level, ID3D11DeviceContext** context) {
  CreateDeviceScript& s = gScript;
  ++s.calls;
  s.adapter = adapter;
  s.driverType = driverType;
  s.software = software;
  s.flags = flags;
  s.levels = levels;
  s.levelCount = levelCount;
  s.sdkVersion = sdkVersion;
  s.deviceOut = device;
  s.levelOut = level;
  s.contextOut = context;
  if (device != nullptr) *device = s.device;
  return s.result;
}

class ModuleWithFakeDevices : public ::testing::Test {
 protected:
  explicit ModuleWithFakeDevices(const char* modulePath = "atlas-module\\vykcn.dll") : modulePath_(modulePath) {}

  void SetUp() override {
    gScript = CreateDeviceScript{};
    module_ = LoadRelative(modulePath_);
    ASSERT_NE(module_, nullptr);
    importSlot_ = FindImportSlot(module_, "d3d11.dll", "D3D11CreateDevice");
    ASSERT_NE(importSlot_, nullptr) << "the module must import D3D11CreateDevice";
    originalImport_ = *importSlot_;
    WriteProtected(importSlot_, reinterpret_cast<void*>(&ScriptedCreateDevice));
    createDevice_ = FindCreateDeviceExport(module_);
    ASSERT_NE(createDevice_, nullptr);
  }

  void TearDown() override {
    if (importSlot_ != nullptr) WriteProtected(importSlot_, originalImport_);
  }

  // Creates `device` through the export with the script answering `result`.
  HRESULT Create(ID3D11Device* device, HRESULT result = S_OK) {
    gScript.device = device;
    gScript.result = result;
    ID3D11Device* out = nullptr;
    return createDevice_(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &out,
                         nullptr, nullptr);
  }

  static D3D11_TEXTURE2D_DESC Font() { return TextureDesc(kFontWidth, kFontHeight, DXGI_FORMAT_R8G8B8A8_UNORM); }

  const char* modulePath_;
  HMODULE module_ = nullptr;
  void** importSlot_ = nullptr;
  void* originalImport_ = nullptr;
  PFN_D3D11_CREATE_DEVICE createDevice_ = nullptr;
};

using DeviceCreation = ModuleWithFakeDevices;
using TextureHook = ModuleWithFakeDevices;

TEST_F(DeviceCreation, PassesArgumentsThroughAndOnlyS_OKPatches) {
  FakeDevice first;
  void* const original5 = InterfaceTable(&first)[5];

  // Failures and other success codes come back unchanged, even with a device written.
  for (HRESULT failure : {E_FAIL, E_INVALIDARG, E_OUTOFMEMORY, DXGI_ERROR_UNSUPPORTED, S_FALSE}) {
    SCOPED_TRACE(testing::Message() << std::hex << failure);
    EXPECT_EQ(Create(&first, failure), failure);
    EXPECT_EQ(InterfaceTable(&first)[5], original5);
  }

  // All ten arguments reach D3D11CreateDevice as given.
  const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_0};
  auto* adapter = reinterpret_cast<IDXGIAdapter*>(0x1234);
  auto* software = reinterpret_cast<HMODULE>(0x5678);
  ID3D11Device* device = nullptr;
  D3D_FEATURE_LEVEL level{};
  ID3D11DeviceContext* context = nullptr;
  gScript.result = E_FAIL;
  EXPECT_EQ(createDevice_(adapter, D3D_DRIVER_TYPE_WARP, software, D3D11_CREATE_DEVICE_DEBUG, levels, 2, 7,
                          &device, &level, &context), E_FAIL);
  EXPECT_EQ(gScript.adapter, adapter);
  EXPECT_EQ(gScript.driverType, D3D_DRIVER_TYPE_WARP);
  EXPECT_EQ(gScript.software, software);
  EXPECT_EQ(gScript.flags, static_cast<UINT>(D3D11_CREATE_DEVICE_DEBUG));
  EXPECT_EQ(gScript.levels, levels);
  EXPECT_EQ(gScript.levelCount, 2u);
  EXPECT_EQ(gScript.sdkVersion, 7u);
  EXPECT_EQ(gScript.deviceOut, &device);
  EXPECT_EQ(gScript.levelOut, &level);
  EXPECT_EQ(gScript.contextOut, &context);

  // Nothing was saved from the failed creations: the first S_OK device's own method serves it.
  OtherFakeDevice other;
  EXPECT_EQ(Create(&other), S_OK);
  EXPECT_EQ(InterfaceTable(&first)[5], original5);
  EXPECT_TRUE(InModuleImage(module_, InterfaceTable(&other)[5]));
  D3D11_TEXTURE2D_DESC small = TextureDesc(16, 16, DXGI_FORMAT_R8G8B8A8_UNORM);
  ID3D11Texture2D* texture = nullptr;
  EXPECT_EQ(CreateTextureThroughTable(&other, &small, nullptr, &texture), S_OK);
  EXPECT_EQ(other.otherCreateTextureCalls, 1);
  EXPECT_EQ(other.Find(texture), other.textures().back().get());
}

TEST_F(DeviceCreation, SuccessWithoutADevicePatchesNothing) {
  FakeDevice first;
  void* const original5 = InterfaceTable(&first)[5];
  gScript.device = &first;  // never written: the caller passes no device out-pointer
  EXPECT_EQ(createDevice_(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, nullptr,
                          nullptr, nullptr), S_OK);
  EXPECT_EQ(Create(nullptr), S_OK);  // out-pointer given, no device written into it
  EXPECT_EQ(InterfaceTable(&first)[5], original5);

  // The methods are saved from the first device that exists.
  OtherFakeDevice other;
  ASSERT_EQ(Create(&other), S_OK);
  ID3D11Texture2D* texture = nullptr;
  D3D11_TEXTURE2D_DESC font = Font();
  EXPECT_EQ(CreateTextureThroughTable(&other, &font, nullptr, &texture), S_OK);
  EXPECT_EQ(other.otherCreateTextureCalls, 2);  // the host's texture, then the atlas through the loader
}

TEST_F(DeviceCreation, HooksEntry5OfTheTableItselfAndRestoresItsProtection) {
  FakeDevice device;
  Table table = InterfaceTable(&device);
  void* before[43];
  std::copy(table, table + 43, before);
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(const_cast<void**>(table), &info, sizeof(info));
  const DWORD protection = info.Protect;

  ASSERT_EQ(Create(&device), S_OK);
  for (int i = 0; i < 43; ++i) {
    if (i == 5) continue;
    EXPECT_EQ(table[i], before[i]) << "entry " << i;
  }
  EXPECT_NE(table[5], before[5]);
  EXPECT_TRUE(InModuleImage(module_, table[5]));
  VirtualQuery(const_cast<void**>(table), &info, sizeof(info));
  EXPECT_EQ(info.Protect, protection);

  // Another object of the same class shares the table, hooked without going through the export.
  FakeDevice sibling;
  ID3D11Texture2D* texture = nullptr;
  D3D11_TEXTURE2D_DESC font = Font();
  ASSERT_EQ(CreateTextureThroughTable(&sibling, &font, nullptr, &texture), S_OK);
  EXPECT_EQ(sibling.createTextureCalls(), 2);
  EXPECT_EQ(sibling.lastCaller(), &sibling);
}

TEST_F(DeviceCreation, SecondDeviceRewritesTheHookButKeepsTheFirstCopy) {
  FakeDevice first;
  void* const original5 = InterfaceTable(&first)[5];
  ASSERT_EQ(Create(&first), S_OK);
  void* const hook = InterfaceTable(&first)[5];
  FakeDevice second;
  ASSERT_EQ(Create(&second), S_OK);
  EXPECT_EQ(InterfaceTable(&second)[5], hook);

  // Had the copy been retaken from the patched table, the hook would call itself.
  D3D11_TEXTURE2D_DESC small = TextureDesc(8, 8, DXGI_FORMAT_R8G8B8A8_UNORM);
  ID3D11Texture2D* texture = nullptr;
  ASSERT_EQ(CreateTextureThroughTable(&second, &small, nullptr, &texture), S_OK);
  EXPECT_EQ(second.createTextureCalls(), 1);
  EXPECT_EQ(first.createTextureCalls(), 0);
  EXPECT_NE(original5, hook);
}

TEST_F(DeviceCreation, TableOfAnotherImplementationIsLeftUnhooked) {
  FakeDevice first;
  ASSERT_EQ(Create(&first), S_OK);
  // The hook calls the first device's CreateTexture2D; it must not be put where that is wrong.
  OtherFakeDevice other;
  void* const other5 = InterfaceTable(&other)[5];
  ASSERT_EQ(Create(&other), S_OK);
  EXPECT_EQ(InterfaceTable(&other)[5], other5);

  ID3D11Texture2D* texture = nullptr;
  D3D11_TEXTURE2D_DESC font = Font();
  ASSERT_EQ(CreateTextureThroughTable(&other, &font, nullptr, &texture), S_OK);
  EXPECT_EQ(other.otherCreateTextureCalls, 1);
  EXPECT_EQ(other.Find(texture), other.textures().front().get());  // the host's own texture
}

TEST_F(DeviceCreation, UnwritableTableLeavesTheDeviceWorkingUnhooked) {
  // The device's table lives in a read-only view of a section: it cannot be made writable.
  FakeDevice device;
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr);
  ASSERT_NE(section, nullptr);
  auto* writable = static_cast<void**>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 4096));
  auto* readOnly = static_cast<void**>(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 4096));
  ASSERT_NE(writable, nullptr);
  ASSERT_NE(readOnly, nullptr);
  std::copy(InterfaceTable(&device), InterfaceTable(&device) + 43, writable);
  void** const ownTable = const_cast<void**>(InterfaceTable(&device));
  *reinterpret_cast<void***>(&device) = readOnly;

  EXPECT_EQ(Create(&device), S_OK);
  EXPECT_EQ(readOnly[5], ownTable[5]);

  ID3D11Texture2D* texture = nullptr;
  D3D11_TEXTURE2D_DESC font = Font();
  ASSERT_EQ(CreateTextureThroughTable(&device, &font, nullptr, &texture), S_OK);
  EXPECT_EQ(device.createTextureCalls(), 1);
  EXPECT_EQ(device.Find(texture)->references(), 1);

  *reinterpret_cast<void***>(&device) = ownTable;
  UnmapViewOfFile(readOnly);
  UnmapViewOfFile(writable);
  CloseHandle(section);
}

TEST_F(TextureHook, ReplacesTheFontTextureWithTheLoadersTexture) {
  FakeDevice device;
  ASSERT_EQ(Create(&device), S_OK);
  std::vector<uint8_t> atlas = ReadAtlasResource(module_);
  ASSERT_GT(atlas.size(), kDdsPrefixBytes);
  MessageBoxRecorder messages(module_);

  // Other sizes are handed back as the device made them, and the loader is not bound for them:
  // the module does not import it.
  EXPECT_EQ(FindImportSlot(module_, "d3dx11_43.dll", "D3DX11CreateTextureFromResourceA"), nullptr);
  for (auto [w, h] : {std::pair<UINT, UINT>{1404, 1024}, {1024, 1403}, {1, 1404}}) {
    D3D11_TEXTURE2D_DESC other = TextureDesc(w, h, DXGI_FORMAT_R8G8B8A8_UNORM);
    ID3D11Texture2D* kept = nullptr;
    ASSERT_EQ(CreateTextureThroughTable(&device, &other, nullptr, &kept), S_OK);
    ASSERT_NE(device.Find(kept), nullptr);
    EXPECT_EQ(device.Find(kept)->desc().Width, w);
    EXPECT_EQ(device.Find(kept)->references(), 1);
  }
  EXPECT_EQ(GetModuleHandleA("d3dx11_43.dll"), nullptr) << "the loader was bound before it was needed";
  ASSERT_EQ(device.textures().size(), 3u);

  D3D11_TEXTURE2D_DESC font = Font();
  ID3D11Texture2D* texture = nullptr;
  ASSERT_EQ(CreateTextureThroughTable(&device, &font, nullptr, &texture), S_OK);
  EXPECT_NE(GetModuleHandleA("d3dx11_43.dll"), nullptr);
  ASSERT_EQ(device.textures().size(), 5u);
  FakeTexture* host = device.textures()[3].get();
  FakeTexture* made = device.textures()[4].get();
  EXPECT_EQ(host->desc().Width, kFontWidth);
  EXPECT_EQ(host->getDescCalls(), 1);
  EXPECT_EQ(host->references(), 0);  // released exactly once
  EXPECT_EQ(host->overReleases(), 0);

  // The caller holds the loader's texture, made from resource 103, with its one reference.
  EXPECT_EQ(texture, made);
  EXPECT_EQ(made->references(), 1);
  EXPECT_EQ(made->desc().Width, kAtlasTextureWidth);
  EXPECT_EQ(made->desc().Height, kAtlasTextureHeight);
  EXPECT_EQ(made->desc().Format, DXGI_FORMAT_BC3_UNORM);
  EXPECT_TRUE(made->firstLevel() == std::vector<uint8_t>(atlas.begin() + kDdsPrefixBytes, atlas.end()));
  EXPECT_TRUE(messages.calls().empty());
}

TEST_F(TextureHook, NullOutPointerAnswerComesBackWithoutGetDesc) {
  FakeDevice device;
  ASSERT_EQ(Create(&device), S_OK);
  D3D11_TEXTURE2D_DESC font = Font();
  EXPECT_EQ(CreateTextureThroughTable(&device, &font, nullptr, nullptr), S_FALSE);
  EXPECT_EQ(device.createTextureCalls(), 1);
  // A device that answers S_OK without an out-pointer: there is still no texture to look at.
  device.answerWithoutOutPointer = S_OK;
  EXPECT_EQ(CreateTextureThroughTable(&device, &font, nullptr, nullptr), S_OK);
  EXPECT_EQ(device.createTextureCalls(), 2);

  // S_FALSE even with a font-sized texture written: not S_OK, so not looked at.
  device.forcedResult = S_FALSE;
  device.textureWithForcedResult = true;
  ID3D11Texture2D* texture = nullptr;
  EXPECT_EQ(CreateTextureThroughTable(&device, &font, nullptr, &texture), S_FALSE);
  ASSERT_NE(device.Find(texture), nullptr);
  EXPECT_EQ(device.Find(texture)->getDescCalls(), 0);
  EXPECT_EQ(device.Find(texture)->references(), 1);
}

TEST_F(TextureHook, FailuresComeBackUntouched) {
  FakeDevice device;
  ASSERT_EQ(Create(&device), S_OK);
  const StandInLoaderLog* log = StandInLog();
  const int loads = log != nullptr ? log->count : 0;
  D3D11_TEXTURE2D_DESC font = Font();
  for (HRESULT failure : {E_OUTOFMEMORY, E_INVALIDARG, DXGI_ERROR_DEVICE_REMOVED, E_FAIL}) {
    SCOPED_TRACE(testing::Message() << std::hex << failure);
    device.forcedResult = failure;
    auto* sentinel = reinterpret_cast<ID3D11Texture2D*>(0x10);
    ID3D11Texture2D* texture = sentinel;
    EXPECT_EQ(CreateTextureThroughTable(&device, &font, nullptr, &texture), failure);
    EXPECT_EQ(texture, sentinel);
  }
  EXPECT_EQ(log != nullptr ? log->count : 0, loads);
}

// The atlas cannot be loaded: every font-sized texture shows the message once and keeps the host's
// texture. Run with each reason: no resource 103, no loader library.
class MissingAtlas : public ModuleWithFakeDevices {
 protected:
  explicit MissingAtlas(const char* modulePath) : ModuleWithFakeDevices(modulePath) {}

  void ExpectMessagePerFontTexture() {
    FakeDevice device;
    ASSERT_EQ(Create(&device), S_OK);
    MessageBoxRecorder messages(module_);
    D3D11_TEXTURE2D_DESC font = Font();
    D3D11_TEXTURE2D_DESC other = TextureDesc(kFontHeight, kFontWidth, DXGI_FORMAT_R8G8B8A8_UNORM);
    for (int i = 1; i <= 3; ++i) {
      ID3D11Texture2D* texture = nullptr;
      ASSERT_EQ(CreateTextureThroughTable(&device, &font, nullptr, &texture), S_OK);
      FakeTexture* host = device.Find(texture);
      ASSERT_NE(host, nullptr) << "the host's own texture must be kept";
      EXPECT_EQ(host->references(), 1);
      ASSERT_EQ(messages.calls().size(), static_cast<size_t>(i));
      EXPECT_EQ(messages.calls().back().text, "Debug");
      EXPECT_EQ(messages.calls().back().caption, "fail to load dds");
      EXPECT_EQ(messages.calls().back().type, static_cast<UINT>(MB_OK));
      ASSERT_EQ(CreateTextureThroughTable(&device, &other, nullptr, &texture), S_OK);
      EXPECT_EQ(messages.calls().size(), static_cast<size_t>(i));
    }
  }
};

class MissingAtlasResource : public MissingAtlas {
 protected:
  MissingAtlasResource() : MissingAtlas("no-atlas-module\\vykcn.dll") {}
};

class MissingTextureLoader : public MissingAtlas {
 protected:
  MissingTextureLoader() : MissingAtlas("atlas-module\\vykcn.dll") {}
};

TEST_F(MissingAtlasResource, ShowsTheMessageOncePerFontTexture) {
  ASSERT_TRUE(ReadAtlasResource(module_).empty());
  ExpectMessagePerFontTexture();
}

// Run with d3dx11_43 disabled (WINEDLLOVERRIDES): the loader library cannot be loaded.
TEST_F(MissingTextureLoader, ShowsTheMessageOncePerFontTexture) {
  ASSERT_EQ(LoadLibraryA("d3dx11_43.dll"), nullptr) << "this case needs d3dx11_43 disabled";
  ExpectMessagePerFontTexture();
}

// Loaded under another name the module cannot find its own image: no load, no message.
class RenamedModule : public ModuleWithFakeDevices {
 protected:
  RenamedModule() : ModuleWithFakeDevices("renamed-atlas-module\\other.dll") {}
};

TEST_F(RenamedModule, KeepsTheHostTextureQuietly) {
  ASSERT_EQ(GetModuleHandleA("vykcn"), nullptr);
  const StandInLoaderLog* log = StandInLog();
  ASSERT_NE(log, nullptr);
  FakeDevice device;
  ASSERT_EQ(Create(&device), S_OK);
  MessageBoxRecorder messages(module_);
  D3D11_TEXTURE2D_DESC font = Font();
  ID3D11Texture2D* texture = nullptr;
  ASSERT_EQ(CreateTextureThroughTable(&device, &font, nullptr, &texture), S_OK);
  ASSERT_EQ(device.textures().size(), 1u);
  EXPECT_EQ(texture, device.textures()[0].get());
  EXPECT_EQ(device.textures()[0]->references(), 1);
  EXPECT_EQ(log->count, 0);
  EXPECT_TRUE(messages.calls().empty());
}

}  // namespace
}  // namespace vykcn::test

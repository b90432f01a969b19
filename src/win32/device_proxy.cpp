#include "win32/device_proxy.h"

#include "win32/atlas_texture_loader.h"
#include "win32/resource_blob.h"

namespace vykcn {

void* SavedDeviceMethods[kSavedDeviceMethodCount] = {};
bool DeviceMethodsSaved = false;

namespace {

using CreateTexture2DMethod = HRESULT(STDMETHODCALLTYPE*)(ID3D11Device*, const D3D11_TEXTURE2D_DESC*,
                                                          const D3D11_SUBRESOURCE_DATA*, ID3D11Texture2D**);

void* HookAddress() { return reinterpret_cast<void*>(&CreateTexture2DHook); }

// The hook calls the CreateTexture2D saved from the first device. A table whose entry 5 is
// neither that method nor the hook belongs to another implementation: hooking it would call the
// wrong method on its devices, so it is left alone.
bool HookFitsTable(void* const* table) {
  void* current = table[kCreateTexture2DEntry];
  return current == HookAddress() || current == SavedDeviceMethods[kCreateTexture2DEntry];
}

// Writes the hook into entry 5 of the table itself, so every device sharing it is hooked. A table
// that cannot be made writable is not written: the device then works unhooked.
void PatchCreateTexture2D(void** table) {
  const SIZE_T patchedBytes = kSavedDeviceMethodCount * sizeof(void*);
  DWORD previous = 0;
  if (!VirtualProtect(table, patchedBytes, PAGE_READWRITE, &previous)) return;
  table[kCreateTexture2DEntry] = HookAddress();
  DWORD ignored = 0;
  VirtualProtect(table, patchedBytes, previous, &ignored);
}

bool IsHostFontTexture(ID3D11Texture2D* texture) {
  D3D11_TEXTURE2D_DESC desc{};
  texture->GetDesc(&desc);
  return desc.Width == kHostFontTextureWidth && desc.Height == kHostFontTextureHeight;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CreateTexture2DHook(ID3D11Device* device, const D3D11_TEXTURE2D_DESC* desc,
                                              const D3D11_SUBRESOURCE_DATA* initialData,
                                              ID3D11Texture2D** texture) noexcept {
  auto create = reinterpret_cast<CreateTexture2DMethod>(SavedDeviceMethods[kCreateTexture2DEntry]);
  const HRESULT result = create(device, desc, initialData, texture);
  // Only S_OK comes with a texture to look at: S_FALSE answers a null out-pointer.
  if (result != S_OK) return result;
  if (texture == nullptr || *texture == nullptr || !IsHostFontTexture(*texture)) return S_OK;

  HMODULE module = FindOwnModule();
  if (module == nullptr) return S_OK;

  ID3D11Resource* atlas = nullptr;
  if (LoadAtlasTexture(device, module, &atlas) != S_OK) {
    MessageBoxA(nullptr, "Debug", "fail to load dds", MB_OK);
    return S_OK;
  }
  // The loader made a 2D texture from the DDS; the caller gets the loader's one reference.
  (*texture)->Release();
  *texture = static_cast<ID3D11Texture2D*>(atlas);
  return S_OK;
}

}  // namespace vykcn

extern "C" HRESULT WINAPI D3D12CreateDevice(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType,
                                            HMODULE software, UINT flags,
                                            const D3D_FEATURE_LEVEL* featureLevels, UINT featureLevelCount,
                                            UINT sdkVersion, ID3D11Device** device,
                                            D3D_FEATURE_LEVEL* featureLevel,
                                            ID3D11DeviceContext** immediateContext) noexcept {
  using namespace vykcn;
  const HRESULT result = D3D11CreateDevice(adapter, driverType, software, flags, featureLevels,
                                           featureLevelCount, sdkVersion, device, featureLevel,
                                           immediateContext);
  if (result != S_OK) return result;
  // S_OK without a device (a caller probing feature levels): there is no table to patch.
  if (device == nullptr || *device == nullptr) return S_OK;

  void** table = *reinterpret_cast<void***>(*device);
  if (!DeviceMethodsSaved) {
    for (size_t i = 0; i < kSavedDeviceMethodCount; ++i) SavedDeviceMethods[i] = table[i];
    DeviceMethodsSaved = true;
  }
  if (HookFitsTable(table)) PatchCreateTexture2D(table);
  return S_OK;
}

#pragma once
// The device-creation export and the texture-creation hook that swaps the host's font texture
// for the module's atlas (Windows only).
#include <windows.h>
#include <d3d11.h>

#include <cstddef>

namespace vykcn {

constexpr size_t kSavedDeviceMethodCount = 41;  // leading ID3D11Device table entries kept and patched
constexpr size_t kCreateTexture2DEntry = 5;      // ID3D11Device::CreateTexture2D in the table
constexpr UINT kHostFontTextureWidth = 1024;     // the host's font texture is known by its size alone
constexpr UINT kHostFontTextureHeight = 1404;

// The first kSavedDeviceMethodCount entries of the interface table of the first device created
// through D3D12CreateDevice, copied before that table was patched. Fixed once DeviceMethodsSaved.
extern void* SavedDeviceMethods[kSavedDeviceMethodCount];
extern bool DeviceMethodsSaved;

// Written into entry 5 of the device's table. Creates the texture with the saved CreateTexture2D
// and, when it is 1024 x 1404, hands back a new texture made from resource 103 in its place; when
// the atlas cannot be loaded it shows "Debug" / "fail to load dds" and keeps the host's texture.
// Every result other than S_OK from the device is returned untouched.
HRESULT STDMETHODCALLTYPE CreateTexture2DHook(ID3D11Device* device, const D3D11_TEXTURE2D_DESC* desc,
                                              const D3D11_SUBRESOURCE_DATA* initialData,
                                              ID3D11Texture2D** texture) noexcept;

}  // namespace vykcn

// Exported undecorated, ordinal 2; the host calls it in place of D3D11CreateDevice, with the same
// arguments. Creates the device, then redirects its CreateTexture2D to CreateTexture2DHook.
extern "C" HRESULT WINAPI D3D12CreateDevice(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType,
                                            HMODULE software, UINT flags,
                                            const D3D_FEATURE_LEVEL* featureLevels, UINT featureLevelCount,
                                            UINT sdkVersion, ID3D11Device** device,
                                            D3D_FEATURE_LEVEL* featureLevel,
                                            ID3D11DeviceContext** immediateContext) noexcept;

#pragma once
// Helpers shared by the device proxy tests: the module's export, its image range, resource 103 as
// the tests read it themselves, and the stand-in loader's call log.
#include <windows.h>
#include <d3d11.h>

#include <cstdint>
#include <vector>

#include "stand_in_calls.h"

namespace vykcn::test {

constexpr UINT kFontWidth = 1024;  // the host's font texture
constexpr UINT kFontHeight = 1404;
constexpr UINT kAtlasTextureWidth = 2048;  // what resource 103 holds
constexpr UINT kAtlasTextureHeight = 1024;
constexpr WORD kAtlasResource = 103;
constexpr size_t kDdsPrefixBytes = 128;  // "DDS " and the 124-byte header

// The interface table of a COM object: its first pointer. Read as volatile memory: the compiler
// knows the tables of our own classes as constants and would fold reads of patched entries.
using Table = void* volatile*;
inline Table InterfaceTable(void* object) { return *static_cast<Table volatile*>(object); }

// Calls CreateTexture2D through the device's interface table, as the host does: a C++ call on an
// object of known type may be bound at compile time and skip the table.
inline HRESULT CreateTextureThroughTable(ID3D11Device* device, const D3D11_TEXTURE2D_DESC* desc,
                                         const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture2D** texture) {
  using Method = HRESULT(STDMETHODCALLTYPE*)(ID3D11Device*, const D3D11_TEXTURE2D_DESC*,
                                             const D3D11_SUBRESOURCE_DATA*, ID3D11Texture2D**);
  return reinterpret_cast<Method>(InterfaceTable(device)[5])(device, desc, initialData, texture);
}

// The module's D3D12CreateDevice, found by name; also checks that ordinal 2 is the same entry.
PFN_D3D11_CREATE_DEVICE FindCreateDeviceExport(HMODULE module);

// True when `address` lies inside the mapped image of `module`.
bool InModuleImage(HMODULE module, const void* address);

// The bytes of RT_RCDATA 103 of `module`, read with the platform's resource calls.
std::vector<uint8_t> ReadAtlasResource(HMODULE module);

// The stand-in d3dx11_43.dll's call log, or null when another loader (or none) is in use. Loads
// the library the way the module does, so it may come before the module's first use.
const StandInLoaderLog* StandInLog();

// The first level of a BC3 texture as rows of blocks, read through a staging copy; empty when the
// copy cannot be made or mapped.
std::vector<uint8_t> ReadBackBc3(ID3D11Device* device, ID3D11DeviceContext* context, ID3D11Texture2D* texture);

// A 2D texture description with one level, one slice, no multisampling.
D3D11_TEXTURE2D_DESC TextureDesc(UINT width, UINT height, DXGI_FORMAT format,
                                 UINT bindFlags = D3D11_BIND_SHADER_RESOURCE,
                                 D3D11_USAGE usage = D3D11_USAGE_DEFAULT, UINT mipLevels = 1);

}  // namespace vykcn::test

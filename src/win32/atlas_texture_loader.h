#pragma once
// Creates the font atlas texture through the D3DX 11 texture loader (Windows only).
#include <windows.h>
#include <d3d11.h>

namespace vykcn {

// D3DX11CreateTextureFromResourceA: device, source module, resource name, load information,
// thread pump, texture out, result out. The two D3DX types are passed as null, so they stay opaque.
using CreateTextureFromResourceA = HRESULT(WINAPI*)(ID3D11Device* device, HMODULE module, LPCSTR resource,
                                                    void* loadInfo, void* threadPump,
                                                    ID3D11Resource** texture, HRESULT* result);

constexpr const char* kTextureLoaderLibrary = "d3dx11_43.dll";
constexpr const char* kTextureLoaderFunction = "D3DX11CreateTextureFromResourceA";

// The loader, bound on first use rather than through the import table: the module then loads on
// systems without d3dx11_43.dll, and only the texture swap needs it. Null while the library or
// the function cannot be found; a later call tries again.
CreateTextureFromResourceA BindTextureLoader() noexcept;

// Loads resource 103 (RT_RCDATA) of `module` as a texture on `device` with the library's defaults,
// synchronously. S_OK with *texture set, or the loader's failure; E_NOINTERFACE without a loader.
HRESULT LoadAtlasTexture(ID3D11Device* device, HMODULE module, ID3D11Resource** texture) noexcept;

}  // namespace vykcn

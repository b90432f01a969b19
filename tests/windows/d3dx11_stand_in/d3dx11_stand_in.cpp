// Test stand-in for d3dx11_43.dll: Wine's own lacks a working D3DX11CreateTextureFromResourceA.
// It reads an RT_RCDATA resource of the given module and creates a texture from its DDS: the one
// layout the module ships (FourCC "DXT5", no extended header), with as many levels as it declares.
// Never shipped.
#include <windows.h>
#include <d3d11.h>

#include <cstdint>
#include <cstring>

#include "base/byte_order.h"
#include "formats/dds_atlas.h"
#include "stand_in_calls.h"

namespace {

vykcn::test::StandInLoaderLog gLog;

// Bytes of one BC3 level of width x height texels.
size_t Bc3LevelBytes(uint32_t width, uint32_t height) {
  return size_t{(width + 3) / 4} * ((height + 3) / 4) * vykcn::kBc3BlockSize;
}

HRESULT CreateFromDds(ID3D11Device* device, const uint8_t* file, size_t size, ID3D11Resource** texture) {
  using namespace vykcn;
  if (size < kDdsHeaderSize || ReadU32LE(file + dds_offset::kMagic) != kDdsMagic ||
      ReadU32LE(file + dds_offset::kHeaderSize) != kDdsHeaderStructSize) {
    return E_FAIL;
  }
  if ((ReadU32LE(file + dds_offset::kPixelFormatFlags) & kDdsPixelFormatFourCC) == 0 ||
      ReadU32LE(file + dds_offset::kFourCC) != kDdsFourCCDxt5) {
    return E_NOTIMPL;
  }
  D3D11_TEXTURE2D_DESC desc{};
  desc.Width = ReadU32LE(file + dds_offset::kWidth);
  desc.Height = ReadU32LE(file + dds_offset::kHeight);
  desc.MipLevels = ReadU32LE(file + dds_offset::kMipMapCount);
  if (desc.MipLevels == 0) desc.MipLevels = 1;
  if (desc.Width == 0 || desc.Height == 0 || desc.MipLevels > 16) return E_FAIL;
  desc.ArraySize = 1;
  desc.Format = DXGI_FORMAT_BC3_UNORM;
  desc.SampleDesc.Count = 1;
  desc.Usage = D3D11_USAGE_DEFAULT;
  desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;

  D3D11_SUBRESOURCE_DATA levels[16] = {};
  size_t offset = kDdsHeaderSize;
  for (UINT level = 0; level < desc.MipLevels; ++level) {
    const uint32_t w = desc.Width >> level ? desc.Width >> level : 1;
    const uint32_t h = desc.Height >> level ? desc.Height >> level : 1;
    const size_t bytes = Bc3LevelBytes(w, h);
    if (size - offset < bytes) return E_FAIL;  // truncated file
    levels[level].pSysMem = file + offset;
    levels[level].SysMemPitch = ((w + 3) / 4) * kBc3BlockSize;
    offset += bytes;
  }
  ID3D11Texture2D* created = nullptr;
  const HRESULT result = device->CreateTexture2D(&desc, levels, &created);
  if (result == S_OK) *texture = created;
  return result;
}

HRESULT Load(ID3D11Device* device, HMODULE module, LPCSTR resource, void* loadInfo, void* threadPump,
             ID3D11Resource** texture) {
  // Only what the module asks for: library defaults, synchronous.
  if (device == nullptr || texture == nullptr || loadInfo != nullptr || threadPump != nullptr) {
    return E_INVALIDARG;
  }
  HRSRC found = FindResourceA(module, resource, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return E_FAIL;
  return CreateFromDds(device, static_cast<const uint8_t*>(data), SizeofResource(module, found), texture);
}

}  // namespace

extern "C" HRESULT WINAPI D3DX11CreateTextureFromResourceA(ID3D11Device* device, HMODULE module,
                                                           LPCSTR resource, void* loadInfo,
                                                           void* threadPump, ID3D11Resource** texture,
                                                           HRESULT* resultOut) {
  const HRESULT result = Load(device, module, resource, loadInfo, threadPump, texture);
  gLog.count++;
  gLog.last = {device, module, resource, loadInfo, threadPump, resultOut, result};
  if (resultOut != nullptr) *resultOut = result;
  return result;
}

extern "C" const vykcn::test::StandInLoaderLog* WINAPI StandInLoaderCalls() { return &gLog; }

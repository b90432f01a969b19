#include "device_proxy_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vykcn::test {

PFN_D3D11_CREATE_DEVICE FindCreateDeviceExport(HMODULE module) {
  auto byName = reinterpret_cast<PFN_D3D11_CREATE_DEVICE>(
      reinterpret_cast<void*>(GetProcAddress(module, "D3D12CreateDevice")));
  auto byOrdinal = reinterpret_cast<PFN_D3D11_CREATE_DEVICE>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))));
  EXPECT_NE(byName, nullptr);
  EXPECT_EQ(byOrdinal, byName) << "D3D12CreateDevice must be ordinal 2";
  return byName;
}

bool InModuleImage(HMODULE module, const void* address) {
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  auto* p = static_cast<const BYTE*>(address);
  return p >= base && p < base + nt->OptionalHeader.SizeOfImage;
}

std::vector<uint8_t> ReadAtlasResource(HMODULE module) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kAtlasResource), MAKEINTRESOURCEA(10));
  if (found == nullptr) return {};
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
  return std::vector<uint8_t>(data, data + SizeofResource(module, found));
}

const StandInLoaderLog* StandInLog() {
  HMODULE loader = LoadLibraryA("d3dx11_43.dll");
  if (loader == nullptr) return nullptr;
  auto calls = reinterpret_cast<StandInLoaderCallsFn>(
      reinterpret_cast<void*>(GetProcAddress(loader, "StandInLoaderCalls")));
  return calls != nullptr ? calls() : nullptr;
}

std::vector<uint8_t> ReadBackBc3(ID3D11Device* device, ID3D11DeviceContext* context, ID3D11Texture2D* texture) {
  D3D11_TEXTURE2D_DESC desc{};
  texture->GetDesc(&desc);
  D3D11_TEXTURE2D_DESC stagingDesc = TextureDesc(desc.Width, desc.Height, desc.Format, 0, D3D11_USAGE_STAGING);
  ID3D11Texture2D* staging = nullptr;
  if (device->CreateTexture2D(&stagingDesc, nullptr, &staging) != S_OK) return {};
  context->CopySubresourceRegion(staging, 0, 0, 0, 0, texture, 0, nullptr);
  std::vector<uint8_t> bytes;
  D3D11_MAPPED_SUBRESOURCE mapped{};
  if (context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped) == S_OK) {
    const size_t rowBytes = size_t{(desc.Width + 3) / 4} * 16;
    const size_t rows = (desc.Height + 3) / 4;
    bytes.resize(rowBytes * rows);
    for (size_t row = 0; row < rows; ++row) {
      std::memcpy(&bytes[row * rowBytes], static_cast<const uint8_t*>(mapped.pData) + row * mapped.RowPitch, rowBytes);
    }
    context->Unmap(staging, 0);
  }
  staging->Release();
  return bytes;
}

D3D11_TEXTURE2D_DESC TextureDesc(UINT width, UINT height, DXGI_FORMAT format, UINT bindFlags,
                                 D3D11_USAGE usage, UINT mipLevels) {
  D3D11_TEXTURE2D_DESC desc{};
  desc.Width = width;
  desc.Height = height;
  desc.MipLevels = mipLevels;
  desc.ArraySize = 1;
  desc.Format = format;
  desc.SampleDesc.Count = 1;
  desc.Usage = usage;
  desc.BindFlags = bindFlags;
  if (usage == D3D11_USAGE_DYNAMIC) desc.CPUAccessFlags = D3D11_CPU_ACCESS_WRITE;
  if (usage == D3D11_USAGE_STAGING) desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
  return desc;
}

}  // namespace vykcn::test

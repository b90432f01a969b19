#include "device_proxy_test_support.h"

#include <gtest/gtest.h>

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

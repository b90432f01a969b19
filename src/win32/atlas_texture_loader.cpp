#include "win32/atlas_texture_loader.h"

#include <atomic>

#include "formats/resource_ids.h"

namespace vykcn {
namespace {

// Hooks may create textures on any thread; two first uses at once both bind, harmlessly.
std::atomic<CreateTextureFromResourceA> gTextureLoader{nullptr};

}  // namespace

CreateTextureFromResourceA BindTextureLoader() noexcept {
  CreateTextureFromResourceA loader = gTextureLoader.load(std::memory_order_acquire);
  if (loader != nullptr) return loader;

  HMODULE library = LoadLibraryA(kTextureLoaderLibrary);
  if (library == nullptr) return nullptr;
  loader = reinterpret_cast<CreateTextureFromResourceA>(
      reinterpret_cast<void*>(GetProcAddress(library, kTextureLoaderFunction)));
  if (loader == nullptr) {
    FreeLibrary(library);
    return nullptr;
  }
  // The library stays loaded for the life of the process: the bound pointer points into it.
  gTextureLoader.store(loader, std::memory_order_release);
  return loader;
}

HRESULT LoadAtlasTexture(ID3D11Device* device, HMODULE module, ID3D11Resource** texture) noexcept {
  CreateTextureFromResourceA loader = BindTextureLoader();
  if (loader == nullptr) return E_NOINTERFACE;
  return loader(device, module, MAKEINTRESOURCEA(kFontAtlasResourceId), nullptr, nullptr, texture, nullptr);
}

}  // namespace vykcn

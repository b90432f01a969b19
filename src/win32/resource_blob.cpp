#include "win32/resource_blob.h"

#include "formats/resource_ids.h"

namespace vykcn {
namespace {

void ReportResourceError(const char* text) { MessageBoxA(nullptr, text, "Error", MB_OK); }

}  // namespace

HMODULE FindOwnModule() { return GetModuleHandleA(kModuleBaseName); }

const void* LoadResourceBlob(uint32_t id, HMODULE module, uint32_t* size) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFFu), kDataResourceType);
  if (resource == nullptr) {
    ReportResourceError("Can't find resource");
    return nullptr;
  }
  const DWORD resourceSize = SizeofResource(module, resource);
  if (resourceSize == 0) {
    ReportResourceError("Can't resource size");
    return nullptr;
  }
  HGLOBAL loaded = LoadResource(module, resource);
  if (loaded == nullptr) {
    ReportResourceError("resource load failed");
    return nullptr;
  }
  const void* data = LockResource(loaded);
  if (data == nullptr) return nullptr;
  *size = resourceSize;
  return data;
}

bool ModuleImageResources::LoadData(uint32_t id, ResourceBytes* out) {
  HMODULE module = FindOwnModule();
  if (module == nullptr) return false;
  uint32_t size = 0;
  const void* data = LoadResourceBlob(id, module, &size);
  if (data == nullptr) return false;
  out->data = static_cast<const uint8_t*>(data);
  out->size = size;
  return true;
}

}  // namespace vykcn

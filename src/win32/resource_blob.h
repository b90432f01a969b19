#pragma once
// Finding and locking the module's own resources (Windows).
#include <windows.h>

#include <cstdint>

#include "platform/own_resources.h"

namespace vykcn {

// The module finds its own image by base name, not by its instance handle: loaded under another
// name it has no resources, and callers do without them quietly. Null when not loaded as "vykcn".
HMODULE FindOwnModule();

// Locks the "IDR_DATA" resource with the low 16 bits of `id` in `module`. On success writes its size
// and returns its first byte; on failure shows "Can't find resource", "Can't resource size" or
// "resource load failed" (caption "Error"), or nothing when only the lock fails, and returns null.
const void* LoadResourceBlob(uint32_t id, HMODULE module, uint32_t* size);

// OwnResources backed by the module's image: FindOwnModule, then LoadResourceBlob.
class ModuleImageResources final : public OwnResources {
 public:
  bool LoadData(uint32_t id, ResourceBytes* out) override;
};

}  // namespace vykcn

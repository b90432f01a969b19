#pragma once
// How portable code reaches the module's own resources. The module implements it with the
// platform's resource calls (win32/resource_blob.h), the toolkit with a module file's bytes; the
// loaders' tests replace it with in-memory bytes (translation_loader_test, glyph_substitution_test).
#include <cstdint>

namespace vykcn {

struct ResourceBytes {
  const uint8_t* data = nullptr;  // read-only, valid while the module is loaded
  uint32_t size = 0;
};

class OwnResources {
 public:
  virtual ~OwnResources() = default;
  // Locates an "IDR_DATA" resource of the module's own image. Returns false when the image cannot
  // be found or the resource cannot be used; the implementation reports what it must.
  virtual bool LoadData(uint32_t id, ResourceBytes* out) = 0;
};

}  // namespace vykcn

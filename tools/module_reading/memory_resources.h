#pragma once
// A module's own resource as the module's portable code reaches it (OwnResources), held in memory
// by the toolkit, so that the toolkit runs the module's loader and glyph substitution on resources
// read from files.
#include <cstdint>
#include <vector>

#include "platform/own_resources.h"

namespace vykcn::tool {

class MemoryResource : public OwnResources {
 public:
  // Resource `id` with these bytes, which must outlive the object; any other id is missing.
  MemoryResource(uint32_t id, const std::vector<uint8_t>& bytes) : id_(id), bytes_(bytes) {}
  bool LoadData(uint32_t id, ResourceBytes* out) override {
    if (id != id_ || bytes_.empty()) return false;
    out->data = bytes_.data();
    out->size = static_cast<uint32_t>(bytes_.size());
    return true;
  }

 private:
  uint32_t id_;
  const std::vector<uint8_t>& bytes_;
};

}  // namespace vykcn::tool

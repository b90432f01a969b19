#pragma once
// The resources every vykcn module carries, as inspect checks them and build replaces them.
#include <cstdint>
#include <vector>

#include "module_reading/pe_resources.h"

namespace vykcn::tool {

struct ModuleResource {
  const char* what;  // "glyph table", "translations", "font atlas", "manifest"
  ResourceName type;
  uint16_t id;
  uint16_t language;
};

// Glyph table (IDR_DATA 101), translations (IDR_DATA 102), font atlas (RT_RCDATA 103), all
// Chinese (PRC), and the manifest (RT_MANIFEST 2, English).
const std::vector<ModuleResource>& ModuleResources();

}  // namespace vykcn::tool

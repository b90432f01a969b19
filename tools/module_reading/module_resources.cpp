#include "module_reading/module_resources.h"

#include "formats/resource_ids.h"

namespace vykcn::tool {
namespace {

constexpr uint16_t kManifestId = 2;           // isolation-aware, as resources/manifest.rc gives it
constexpr uint16_t kManifestLanguage = 1033;  // English (US)

ResourceName Numbered(uint16_t id) {
  ResourceName name;
  name.id = id;
  return name;
}

}  // namespace

const std::vector<ModuleResource>& ModuleResources() {
  static const std::vector<ModuleResource> resources = {
      {"glyph table", ModuleResourceType(kGlyphTableResourceId), kGlyphTableResourceId, kResourceLanguage},
      {"translations", ModuleResourceType(kTranslationResourceId), kTranslationResourceId, kResourceLanguage},
      {"font atlas", ModuleResourceType(kFontAtlasResourceId), kFontAtlasResourceId, kResourceLanguage},
      {"manifest", Numbered(kRtManifest), kManifestId, kManifestLanguage},
  };
  return resources;
}

}  // namespace vykcn::tool

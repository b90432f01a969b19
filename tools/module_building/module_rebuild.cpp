#include "module_building/module_rebuild.h"

#include "base/byte_order.h"
#include "common/command_error.h"
#include "formats/resource_ids.h"
#include "module_building/module_image.h"
#include "module_reading/module_resources.h"
#include "module_reading/pe_structure.h"

namespace vykcn::tool {
namespace {

constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kImageDll = 0x2000;  // file header characteristics

}  // namespace

std::vector<uint8_t> RebuildModule(const std::vector<uint8_t>& image, const std::string& path, const SetResources& set) {
  const std::string notModule = path + " is no vykcn module: ";
  const std::vector<std::string> structure = CheckPeStructure(image);
  if (!structure.empty()) throw CommandError(notModule + structure[0]);
  const uint32_t pe = ReadU32LE(&image[0x3C]);
  if (ReadU16LE(&image[pe + 4]) != kMachineAmd64 || (ReadU16LE(&image[pe + 4 + 18]) & kImageDll) == 0) {
    throw CommandError(notModule + "not a 64-bit x86 DLL");
  }
  std::vector<PeResource> resources = ReadPeResources(image);
  for (const ModuleResource& expected : ModuleResources()) {
    const PeResource* found = FindPeResource(resources, expected.type, expected.id);
    const std::string name = std::string(expected.what) + " (" + expected.type.TypeLabel() + " " +
                             std::to_string(expected.id) + ")";
    if (found == nullptr) throw CommandError(notModule + "it has no " + name);
    if (found->language != expected.language) {
      throw CommandError(notModule + "its " + name + " has language " + std::to_string(found->language) + ", not " +
                         std::to_string(expected.language));
    }
  }
  for (PeResource& resource : resources) {
    const uint32_t id = resource.name.isString ? 0 : resource.name.id;
    const bool ours = resource.type.isString == ModuleResourceType(id).isString &&
                      resource.type.text == ModuleResourceType(id).text && resource.type.id == ModuleResourceType(id).id;
    if (!ours) continue;
    if (id == kGlyphTableResourceId) resource.data = set.glyphTable;
    if (id == kTranslationResourceId) resource.data = set.translations;
    if (id == kFontAtlasResourceId) resource.data = set.atlas;
  }
  return ReplaceResourceSection(image, resources, path);
}

}  // namespace vykcn::tool

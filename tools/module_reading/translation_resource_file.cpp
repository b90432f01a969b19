#include "module_reading/translation_resource_file.h"

#include "common/command_error.h"
#include "common/file_io.h"
#include "formats/resource_ids.h"
#include "module_reading/pe_resources.h"
#include "module_reading/resource_decoding.h"

namespace vykcn::tool {

std::vector<TranslationRecord> ReadResourceFileRecords(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  std::string what = path;
  if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z') {
    const ResourceName type = ModuleResourceType(kTranslationResourceId);
    const std::vector<PeResource> resources = ReadPeResources(bytes);
    const PeResource* resource = FindPeResource(resources, type, kTranslationResourceId);
    if (resource == nullptr) {
      throw CommandError(path + " is a module without translations (resource " + type.TypeLabel() + " " +
                         std::to_string(kTranslationResourceId) + ")");
    }
    what = path + " resource " + std::to_string(kTranslationResourceId);
    bytes = resource->data;
  }
  return ReadTranslationRecords(UnpackTranslationResource(bytes, what), what);
}

}  // namespace vykcn::tool

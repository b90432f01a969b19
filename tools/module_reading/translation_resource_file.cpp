#include "module_reading/translation_resource_file.h"

#include "common/command_error.h"
#include "common/file_io.h"
#include "formats/resource_ids.h"
#include "module_reading/resource_decoding.h"

namespace vykcn::tool {

bool IsModuleFile(const std::vector<uint8_t>& bytes) { return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z'; }

std::vector<TranslationRecord> ReadModuleRecords(const std::vector<PeResource>& resources, const std::string& path) {
  const ResourceName type = ModuleResourceType(kTranslationResourceId);
  const PeResource* resource = FindPeResource(resources, type, kTranslationResourceId);
  if (resource == nullptr) {
    throw CommandError(path + " is a module without translations (resource " + type.TypeLabel() + " " +
                       std::to_string(kTranslationResourceId) + ")");
  }
  const std::string what = path + " resource " + std::to_string(kTranslationResourceId);
  return ReadTranslationRecords(UnpackTranslationResource(resource->data, what), what);
}

std::vector<TranslationRecord> ReadResourceFileRecords(const std::string& path) {
  return ReadResourceFileRecords(ReadFileBytes(path), path);
}

std::vector<TranslationRecord> ReadResourceFileRecords(const std::vector<uint8_t>& bytes, const std::string& path) {
  if (IsModuleFile(bytes)) return ReadModuleRecords(ReadPeResources(bytes), path);
  return ReadTranslationRecords(UnpackTranslationResource(bytes, path), path);
}

}  // namespace vykcn::tool

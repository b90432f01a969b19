#pragma once
// The translation records of a file a user names: a translation resource as pack-text writes it,
// or a built module, whose resource 102 is read.
#include <cstdint>
#include <string>
#include <vector>

#include "module_reading/pe_resources.h"
#include "module_reading/translation_records.h"

namespace vykcn::tool {

// A file that starts with "MZ" is a module.
bool IsModuleFile(const std::vector<uint8_t>& bytes);

// Throws CommandError naming the file (and the resource) when it cannot be read, a module has no
// translations, or the resource does not decode to a well-formed image.
std::vector<TranslationRecord> ReadResourceFileRecords(const std::string& path);
// The same, of the file's bytes already read.
std::vector<TranslationRecord> ReadResourceFileRecords(const std::vector<uint8_t>& bytes, const std::string& path);

// The records of the module at `path` whose resources are `resources`; throws as above.
std::vector<TranslationRecord> ReadModuleRecords(const std::vector<PeResource>& resources, const std::string& path);

}  // namespace vykcn::tool

#include "commands/compared_image.h"

#include <algorithm>
#include <unordered_map>

#include "common/command_error.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "formats/resource_ids.h"
#include "module_reading/glyph_table_file.h"
#include "module_reading/translation_resource_file.h"
#include "system/files.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {
namespace {

// The records the module keeps: of several with one hash, the last.
std::vector<TranslationRecord> KeptRecords(std::vector<TranslationRecord> records) {
  std::unordered_map<uint32_t, size_t> last;
  for (size_t i = 0; i < records.size(); ++i) last[records[i].hash] = i;
  std::vector<TranslationRecord> kept;
  for (size_t i = 0; i < records.size(); ++i) {
    if (last[records[i].hash] == i) kept.push_back(std::move(records[i]));
  }
  return kept;
}

ComparedImage BuiltSet(const std::string& name, const std::vector<std::string>& files, const CheckOptions& options,
                       FileCheckCache* cache) {
  CheckCommandPaths({files, {}});
  CheckedTranslations checked = CheckTranslations(files, options, cache);
  std::vector<Problem> errors;
  std::copy_if(checked.findings.begin(), checked.findings.end(), std::back_inserter(errors),
               [](const Problem& finding) { return finding.severity == Severity::kError; });
  if (!errors.empty()) {
    PrintFindings(stderr, errors, 0);
    throw CommandError(name + ": " + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") +
                       " (listed above): pack-text would build nothing from it");
  }
  // One record per hash already: the precedence left one translation to each.
  auto set = std::make_shared<const TranslationSet>(std::move(checked.set));
  std::vector<const TextEntry*> hostTexts;
  hostTexts.reserve(set->kept.size());
  for (const SetEntry& kept : set->kept) hostTexts.push_back(kept.entry);
  return {name, "translators' files", ReadTranslationRecords(set->image, name), std::move(hostTexts), set, std::nullopt};
}

}  // namespace

ComparedImage ReadComparedImage(const std::string& path, const CheckOptions& options, FileCheckCache* cache) {
  if (system::LookAt(path).kind == system::FileKind::kDirectory) {
    return BuiltSet(path, TranslatorsFilesIn(path), options, cache);
  }
  if (IsTranslatorsFileName(path)) return BuiltSet(path, {path}, options, cache);
  CheckCommandPaths({{path}, {}});
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  if (!IsModuleFile(bytes)) {
    return {path, "a translation resource", KeptRecords(ReadResourceFileRecords(bytes, path)), {}, nullptr, std::nullopt};
  }
  const std::vector<PeResource> resources = ReadPeResources(bytes);
  ComparedFont font{ModuleGlyphTable(resources, path),
                    DecodeAtlasFile(RequireModuleResource(resources, kFontAtlasResourceId, path),
                                    path + " resource " + std::to_string(kFontAtlasResourceId))};
  return {path, "a module", KeptRecords(ReadModuleRecords(resources, path)), {}, nullptr, std::move(font)};
}

}  // namespace vykcn::tool

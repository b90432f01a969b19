#include "module_reading/glyph_table_file.h"

#include "common/command_error.h"
#include "common/file_io.h"
#include "formats/resource_ids.h"

namespace vykcn::tool {
namespace {

std::vector<GlyphRecord> CheckedTable(const std::vector<uint8_t>& bytes, const std::string& what) {
  std::vector<GlyphRecord> records = ParseGlyphTable(bytes.data(), bytes.size());
  RequireGlyphTable(bytes, records, what);
  return records;
}

}  // namespace

void RequireGlyphTable(const std::vector<uint8_t>& bytes, const std::vector<GlyphRecord>& records,
                       const std::string& what) {
  std::string problem;
  if (records.empty()) {
    problem = "it holds no glyph record";
  } else if (bytes.size() % kGlyphRecordSize != 0) {
    problem = std::to_string(bytes.size()) + " bytes is not a whole number of 24-byte records";
  } else {
    for (size_t i = 1; i < records.size() && problem.empty(); ++i) {
      if (records[i - 1].code >= records[i].code) problem = "its codes are not ascending at record " + std::to_string(i);
    }
  }
  if (!problem.empty()) throw CommandError(what + " is not a glyph table: " + problem);
}

std::vector<GlyphRecord> ReadGlyphTableFile(const std::string& path) { return CheckedTable(ReadFileBytes(path), path); }

std::vector<GlyphRecord> ReadModuleGlyphTable(const std::string& dllPath) {
  return ModuleGlyphTable(ReadPeResources(ReadFileBytes(dllPath)), dllPath);
}

std::vector<GlyphRecord> ModuleGlyphTable(const std::vector<PeResource>& resources, const std::string& dllPath) {
  return CheckedTable(RequireModuleResource(resources, kGlyphTableResourceId, dllPath),
                      dllPath + " resource " + std::to_string(kGlyphTableResourceId));
}

}  // namespace vykcn::tool

#pragma once
// One fuzz input run through a reader of the toolkit's untrusted files: the shared body of the
// libFuzzer target and of the test that replays its seeds (fuzz/readers_corpus).
//
// Input layout: byte 0 picks the reader (modulo kReaderCount, see ToolkitReader), the rest is the
// file. A reader may refuse its input only with CommandError; any other exception, a crash or a
// sanitizer report is a finding.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/command_error.h"
#include "font_building/atlas_file.h"
#include "formats/glyph_table.h"
#include "module_reading/module_checks.h"
#include "module_reading/module_translations.h"
#include "module_reading/pe_resources.h"
#include "module_reading/pe_structure.h"
#include "module_reading/resource_decoding.h"
#include "module_reading/translation_records.h"
#include "rendering/text_renderer.h"
#include "text_sources/csv_reader.h"
#include "text_sources/po_reader.h"

namespace vykcn::fuzz {

enum ToolkitReader : uint8_t {
  kPoReader,            // ReadPoFile
  kCsvReader,           // ReadCsvFile
  kPeReader,            // ReadPeResources and the checks of what it finds
  kGlyphTableReader,    // ParseGlyphTable, CheckGlyphTable, and text drawn with the table
  kAtlasReader,         // AtlasFileProblem, DecodeAtlasFile
  kTranslationReader,   // resource 102: the module's load, the toolkit's unpack, the image's records
  kReaderCount
};

// The PO and CSV readers read files: the input goes to a file of this process's own.
inline std::string WriteScratchFile(const uint8_t* data, size_t size, const char* extension) {
  const std::string path = "/tmp/vykcn-readers-fuzz-" + std::to_string(getpid()) + extension;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "";
  const bool written = std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) return "";
  return path;
}

inline void RunReader(ToolkitReader reader, const std::vector<uint8_t>& file) {
  using namespace vykcn::tool;
  switch (reader) {
    case kPoReader:
    case kCsvReader: {
      const std::string path = WriteScratchFile(file.data(), file.size(), reader == kPoReader ? ".po" : ".csv");
      if (path.empty()) return;
      try {
        if (reader == kPoReader) ReadPoFile(path); else ReadCsvFile(path);
      } catch (...) {
        std::remove(path.c_str());
        throw;
      }
      std::remove(path.c_str());
      return;
    }
    case kPeReader: {
      CheckPeStructure(file);
      const std::vector<PeResource> resources = ReadPeResources(file);
      // Every resource through every check that inspect makes of one, whatever its id.
      for (const PeResource& resource : resources) {
        CheckManifest(resource.data);
        const std::vector<GlyphRecord> records = ParseGlyphTable(resource.data.data(), resource.data.size());
        CheckGlyphTable(resource.data, records);
        CheckTranslationCoverage(DecodeModuleTranslations(resource.data), records);
        AtlasFileProblem(resource.data);
      }
      return;
    }
    case kGlyphTableReader: {
      const std::vector<GlyphRecord> records = ParseGlyphTable(file.data(), file.size());
      CheckGlyphTable(file, records);
      static const AtlasImage blankAtlas{AtlasSize(), std::vector<uint8_t>(size_t{kAtlasWidth} * kAtlasHeight * 4, 0x80)};
      RenderText(records, blankAtlas, "Mg \t文字\nA", TextStyle{});
      return;
    }
    case kAtlasReader:
      AtlasFileProblem(file);
      DecodeAtlasFile(file, "atlas");
      return;
    case kTranslationReader:
      DecodeModuleTranslations(file);
      ReadTranslationRecords(file, "image");
      UnpackTranslationResource(file, "resource");
      return;
    case kReaderCount:
      return;
  }
}

// False when a reader failed other than with CommandError.
inline bool RunToolkitReaderInput(const uint8_t* data, size_t size) {
  if (size < 1) return true;
  const std::vector<uint8_t> file(data + 1, data + size);
  try {
    RunReader(static_cast<ToolkitReader>(data[0] % kReaderCount), file);
  } catch (const tool::CommandError&) {
  } catch (...) {
    return false;
  }
  return true;
}

}  // namespace vykcn::fuzz

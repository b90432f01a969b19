#include "commands/inspect_command.h"

#include <cstdarg>
#include <cstdio>

#include "common/command_error.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "font_building/atlas_file.h"
#include "formats/glyph_table.h"
#include "formats/resource_ids.h"
#include "module_reading/module_checks.h"
#include "module_reading/module_resources.h"
#include "module_reading/module_translations.h"
#include "module_reading/pe_resources.h"
#include "module_reading/pe_structure.h"

namespace vykcn::tool {
namespace {

constexpr size_t kProblemsShown = 20;  // a broken table would otherwise list every record

// The listing on stdout, which --summary leaves out.
class Listing {
 public:
  explicit Listing(bool on) : on_(on) {}
  __attribute__((format(printf, 2, 3))) void operator()(const char* format, ...) const {
    if (!on_) return;
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
  }

 private:
  bool on_;
};

void PrintDirectory(const Listing& list, const std::string& dll, const std::vector<PeResource>& resources) {
  list("%s: resource directory, %zu entries\n", dll.c_str(), resources.size());
  list("  %-12s %6s %9s %10s\n", "type", "id", "language", "bytes");
  for (const PeResource& r : resources) {
    list("  %-12s %6s %9u %10zu\n", r.type.TypeLabel().c_str(), r.name.ToString().c_str(), r.language, r.data.size());
  }
}

// Debug information belongs in the file beside the module (the build writes vykcn.dll.debug); in
// the module itself it is dead weight that every copy ships.
void WarnOfDebugSections(const std::string& dll, const std::vector<PeSection>& sections) {
  std::string names;
  uint64_t bytes = 0;
  for (const PeSection& s : sections) {
    if (s.name.compare(0, 7, ".debug_") != 0) continue;
    names += (names.empty() ? "" : ", ") + s.name;
    bytes += s.rawSize;
  }
  if (names.empty()) return;
  std::fflush(stdout);
  std::fprintf(stderr, "warning: %s carries debug sections %s (%llu bytes): strip them before shipping\n",
               dll.c_str(), names.c_str(), static_cast<unsigned long long>(bytes));
}

void Add(std::vector<std::string>* problems, const std::vector<std::string>& more) {
  problems->insert(problems->end(), more.begin(), more.end());
}

std::string Counted(size_t problems) { return std::to_string(problems) + (problems == 1 ? " problem" : " problems"); }

void Report(const std::string& dll, const std::vector<std::string>& problems) {
  std::printf("\n");
  for (size_t i = 0; i < problems.size() && i < kProblemsShown; ++i) std::printf("problem: %s\n", problems[i].c_str());
  if (problems.size() > kProblemsShown) std::printf("problem: and %zu more\n", problems.size() - kProblemsShown);
  throw CommandError(dll + ": " + Counted(problems.size()));
}

void InspectModule(const std::string& dll, bool summary) {
  const Listing list(!summary);
  const std::vector<uint8_t> image = ReadFileBytes(dll);
  // Nothing in a file whose structure is broken is worth reading further.
  const std::vector<std::string> structure = CheckPeStructure(image);
  if (structure.size() == 1) throw CommandError(dll + ": " + structure[0]);
  if (!structure.empty()) {
    std::printf("%s: not a sound PE image\n", dll.c_str());
    Report(dll, structure);
  }
  WarnOfDebugSections(dll, ReadPeSections(image));
  const std::vector<PeResource> resources = ReadPeResources(image);
  PrintDirectory(list, dll, resources);

  const std::vector<ModuleResource>& expected = ModuleResources();
  std::vector<std::string> problems;
  const PeResource* found[4];
  for (int i = 0; i < 4; ++i) {
    found[i] = FindPeResource(resources, expected[i].type, expected[i].id);
    const std::string name = std::string(expected[i].what) + " (" + expected[i].type.TypeLabel() + " " +
                             std::to_string(expected[i].id) + ")";
    if (found[i] == nullptr) {
      problems.push_back(name + " is missing");
    } else if (found[i]->language != expected[i].language) {
      problems.push_back(name + " has language " + std::to_string(found[i]->language) + ", not " +
                         std::to_string(expected[i].language));
    }
  }
  const PeResource *glyphs = found[0], *translations = found[1], *atlas = found[2], *manifest = found[3];

  // The records' coordinates are checked against the atlas's own size; a damaged atlas is reported
  // below and the records are then held to the documented size.
  AtlasSize atlasSize;
  const std::string atlasProblem = atlas != nullptr ? AtlasFileProblem(atlas->data, &atlasSize) : "";

  list("\n");
  std::vector<GlyphRecord> records;
  int referenceHeight = 0;
  size_t translationRecords = 0;
  if (glyphs != nullptr) {
    records = ParseGlyphTable(glyphs->data.data(), glyphs->data.size());
    Add(&problems, CheckGlyphTable(glyphs->data, records, atlasSize));
    GlyphRecord reference{};
    referenceHeight = FindReferenceGlyph(records, &reference) ? reference.height : 0;
    list("glyph table:  %zu glyphs, 'M' %d px high\n", records.size(), referenceHeight);
  }
  if (translations != nullptr) {
    const ModuleTranslations decoded = DecodeModuleTranslations(translations->data);
    if (!decoded.loaded) {
      problems.push_back("translations (102) cannot be loaded: " + decoded.problem);
    } else {
      translationRecords = decoded.records.size();
      list("translations: %zu records (%zu distinct hashes), image %u bytes from %zu compressed\n",
           decoded.records.size(), decoded.tableSize, decoded.imageSize, translations->data.size());
      if (glyphs != nullptr) Add(&problems, CheckTranslationCoverage(decoded, records));
    }
  }
  if (atlas != nullptr) {
    if (atlasProblem.empty()) {
      list("font atlas:   DDS, %s DXT5, one level, %zu bytes\n", DescribeAtlasSize(atlasSize).c_str(),
           atlas->data.size());
      if (!(atlasSize == AtlasSize())) {
        list("              larger than the documented 2048 x 1024: only for a host where it was tried\n");
      }
    } else {
      problems.push_back("font atlas (103): " + atlasProblem);
    }
  }
  if (manifest != nullptr) {
    const std::vector<std::string> manifestProblems = CheckManifest(manifest->data);
    if (manifestProblems.empty()) list("manifest:     asInvoker, uiAccess false\n");
    Add(&problems, manifestProblems);
  }

  if (!problems.empty()) Report(dll, problems);
  list("\n%s: all checks passed\n", dll.c_str());
  if (summary) {
    std::printf("%zu records, %zu glyphs, 'M' %d px, %s atlas\n", translationRecords, records.size(), referenceHeight,
                DescribeAtlasSize(atlasSize).c_str());
  }
}

}  // namespace

void AddInspectOptions(CLI::App* command, InspectOptions* options) {
  command->add_option("dll", options->dll, "the module file")->required();
  command->add_flag("--summary", options->summary,
                    "when the checks pass, print only one line: records, glyphs, 'M' height, atlas size");
}

int RunInspect(InspectOptions& options) {
  CheckCommandPaths({{options.dll}, {}});
  InspectModule(options.dll, options.summary);
  return kExitDone;
}

}  // namespace vykcn::tool

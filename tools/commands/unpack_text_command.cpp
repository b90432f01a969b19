// vykcn-tool unpack-text: the records of a translation resource as TSV (hash, translation), and
// with --source the host texts joined back in, plus the host texts that have no record. RESOURCE
// may also be a built module, whose resource 102 is read.
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "commands/command_registry.h"
#include "common/file_io.h"
#include "common/path_checks.h"
#include "formats/resource_ids.h"
#include "module_reading/pe_resources.h"
#include "module_reading/translation_container.h"
#include "module_reading/translation_records.h"
#include "text_sources/text_sources.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {

namespace {

// TSV cell: backslash, tab, newline, carriage return and other control bytes escaped.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    } else {
      out += ch;
    }
  }
  return out;
}

// The translation resource in `path`: the file itself, or a module's resource 102.
std::vector<uint8_t> TranslationResourceOf(const std::string& path, std::string* what) {
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  *what = path;
  if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return bytes;
  ResourceName type;
  type.isString = true;
  type.text = kDataResourceType;
  const std::vector<PeResource> resources = ReadPeResources(bytes);
  const PeResource* resource = FindPeResource(resources, type, kTranslationResourceId);
  if (resource == nullptr) {
    throw CommandError(path + " is a module without translations (resource " + type.TypeLabel() + " " +
                       std::to_string(kTranslationResourceId) + ")");
  }
  *what = path + " resource " + std::to_string(kTranslationResourceId);
  return resource->data;
}

std::string Hex(uint32_t hash) {
  char hex[16];
  std::snprintf(hex, sizeof(hex), "0x%08X", static_cast<unsigned>(hash));
  return hex;
}

void AddUnpackTextCommand(CLI::App& app) {
  struct Options {
    std::string resource;
    std::vector<std::string> sources;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("unpack-text", "Print a translation resource's records as TSV");
  command->add_option("RESOURCE", options->resource, "translation resource, or a built module")->required();
  command->add_option("--source", options->sources, ".po/.csv files whose host texts are joined in");
  command->callback([options] {
    CommandPaths paths{options->sources, {}};
    paths.inputs.push_back(options->resource);
    CheckCommandPaths(paths);
    std::string what;
    const std::vector<uint8_t> resource = TranslationResourceOf(options->resource, &what);
    const std::vector<TranslationRecord> records = ReadTranslationRecords(UnpackTranslationResource(resource, what), what);
    if (options->sources.empty()) {
      std::printf("hash\ttranslation\n");
      for (const auto& record : records) std::printf("%s\t%s\n", Hex(record.hash).c_str(), Escaped(record.text).c_str());
      return;
    }
    const std::vector<TextEntry> entries = ReadTextSources(options->sources);
    std::unordered_map<uint32_t, std::string> hostOf;
    for (const auto& entry : entries) hostOf.emplace(SubtitleHashBytes(entry.host.data(), entry.host.size()), entry.host);
    std::unordered_set<uint32_t> recorded;
    std::printf("hash\ttranslation\thost\n");
    for (const auto& record : records) {
      recorded.insert(record.hash);
      const auto host = hostOf.find(record.hash);
      std::printf("%s\t%s\t%s\n", Hex(record.hash).c_str(), Escaped(record.text).c_str(),
                  host == hostOf.end() ? "" : Escaped(host->second).c_str());
    }
    std::printf("# host texts without a record\n");
    std::unordered_set<std::string> listed;
    for (const auto& entry : entries) {
      const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
      if (recorded.count(hash) == 0 && listed.insert(entry.host).second) {
        std::printf("%s\t%s\t%s\n", Hex(hash).c_str(), Escaped(entry.host).c_str(), Place(entry).c_str());
      }
    }
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("unpack-text", AddUnpackTextCommand);

}  // namespace vykcn::tool

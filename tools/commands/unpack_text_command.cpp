#include "commands/unpack_text_command.h"

#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "common/command_error.h"
#include "commands/repeated_options.h"
#include "commands/unpacked_catalogue.h"
#include "common/file_extension.h"
#include "common/file_io.h"
#include "common/hash_label.h"
#include "common/path_checks.h"
#include "module_reading/translation_resource_file.h"
#include "text_sources/host_text_index.h"
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

void PrintTsv(const std::vector<TranslationRecord>& records, const std::vector<std::string>& sources) {
  if (sources.empty()) {
    std::printf("hash\ttranslation\n");
    for (const auto& record : records) std::printf("%s\t%s\n", HashLabel(record.hash).c_str(), Escaped(record.text).c_str());
    return;
  }
  const std::vector<TextEntry> entries = ReadSourceTexts(sources);
  std::unordered_map<uint32_t, std::string> hostOf;
  for (const auto& entry : entries) hostOf.emplace(SubtitleHashBytes(entry.host.data(), entry.host.size()), entry.host);
  std::unordered_set<uint32_t> recorded;
  std::printf("hash\ttranslation\thost\n");
  for (const auto& record : records) {
    recorded.insert(record.hash);
    const auto host = hostOf.find(record.hash);
    std::printf("%s\t%s\t%s\n", HashLabel(record.hash).c_str(), Escaped(record.text).c_str(),
                host == hostOf.end() ? "" : Escaped(host->second).c_str());
  }
  std::printf("# host texts without a record\n");
  std::unordered_set<std::string> listed;
  for (const auto& entry : entries) {
    const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    if (recorded.count(hash) == 0 && listed.insert(entry.host).second) {
      std::printf("%s\t%s\t%s\n", HashLabel(hash).c_str(), Escaped(entry.host).c_str(), Place(entry).c_str());
    }
  }
}

enum class Catalogue { kPo, kCsv };

Catalogue CatalogueOf(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  if (extension == ".po") return Catalogue::kPo;
  if (extension == ".csv") return Catalogue::kCsv;
  throw CommandError("cannot write " + path + ": unknown kind of file (expected .po or .csv)");
}

// The file's bytes, and on stderr what was left out of its entries, and why: nothing is dropped
// without a word.
void WriteCatalogue(const std::string& path, const std::vector<UnpackedRecord>& records) {
  const Catalogue kind = CatalogueOf(path);
  const std::string text = kind == Catalogue::kPo ? UnpackedPoFile(records) : UnpackedCsvFile(records);
  WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()));

  std::map<std::string, size_t> leftOut;
  size_t left = 0;
  for (const UnpackedRecord& record : records) {
    const std::string reason = record.leftOutReason();
    if (!reason.empty()) ++leftOut[reason], ++left;
  }
  std::printf("records: %zu (%zu with their host text, %zu left out)\n", records.size(), records.size() - left, left);
  if (left == 0) return;
  std::string reasons;
  for (const auto& [reason, count] : leftOut) reasons += (reasons.empty() ? "" : "; ") + reason + ": " + std::to_string(count);
  std::fprintf(stderr, "vykcn-tool: %zu of %zu records left out of %s's entries, kept as %s (%s)\n", left,
               records.size(), path.c_str(),
               kind == Catalogue::kPo ? "comments that pack-text does not read" : "rows without a source, which pack-text does not pack",
               reasons.c_str());
}

}  // namespace

void AddUnpackTextOptions(CLI::App* command, UnpackTextOptions* options) {
  command->add_option("RESOURCE", options->resource, "translation resource, or a built module")->required();
  AddFilesOption(command, "--source", &options->sources,
                 "a .po/.pot/.csv file (or a list of host texts, one a line) whose host texts are joined in");
  command->add_option("-o,--output", options->output,
                      ".po or .csv file to write, with each record's host text and its place in the sources");
  command->add_flag("--force", options->force, "-o may replace an existing .po, .pot or .csv file");
}

int RunUnpackText(UnpackTextOptions& options) {
  CommandPaths paths{options.sources, {}};
  paths.force = options.force;
  paths.inputs.push_back(options.resource);
  paths.outputs.push_back(options.output);
  CheckCommandPaths(paths);
  if (!options.output.empty()) CatalogueOf(options.output);
  const std::vector<TranslationRecord> records = ReadResourceFileRecords(options.resource);
  if (options.output.empty()) {
    PrintTsv(records, options.sources);
    return kExitDone;
  }
  const HostTextIndex sources(ReadSourceTexts(options.sources));
  WriteCatalogue(options.output, MatchRecords(records, sources));
  return kExitDone;
}

}  // namespace vykcn::tool

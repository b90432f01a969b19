#include "commands/diff_command.h"

#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "common/command_error.h"
#include "commands/compared_image.h"
#include "commands/font_differences.h"
#include "commands/layout_options.h"
#include "commands/repeated_options.h"
#include "commands/set_options.h"
#include "common/hash_label.h"
#include "common/path_checks.h"
#include "text_sources/host_text_index.h"
#include "text_sources/po_escape.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {
namespace {

constexpr int kDifferent = 1;

// "0x1A2B3C4D "host text"", or the hash alone when no source names it.
std::string Key(uint32_t hash, const std::string& translation, const HostTextIndex& hosts) {
  const TextEntry* entry = hosts.Find(hash, translation);
  return HashLabel(hash) + (entry != nullptr ? " " + QuotedPoText(entry->host) : "");
}

// The hashes of the records that differ: removed, added, or with another text.
std::unordered_set<uint32_t> DifferingHashes(const ComparedImage& before, const ComparedImage& after) {
  std::unordered_map<uint32_t, const std::string*> old;
  old.reserve(before.records.size());
  for (const TranslationRecord& record : before.records) old[record.hash] = &record.text;
  std::unordered_set<uint32_t> differing;
  size_t kept = 0;
  for (const TranslationRecord& record : after.records) {
    const auto earlier = old.find(record.hash);
    if (earlier == old.end() || *earlier->second != record.text) differing.insert(record.hash);
    kept += earlier != old.end();
  }
  if (kept == old.size()) return differing;
  std::unordered_set<uint32_t> now;
  now.reserve(after.records.size());
  for (const TranslationRecord& record : after.records) now.insert(record.hash);
  for (const TranslationRecord& record : before.records) {
    if (now.count(record.hash) == 0) differing.insert(record.hash);
  }
  return differing;
}

// Lists removed records in OLD's order, then changed and added ones in NEW's; true when any.
bool PrintDifferences(const ComparedImage& before, const ComparedImage& after, const HostTextIndex& hosts) {
  std::unordered_map<uint32_t, const std::string*> old, now;
  old.reserve(before.records.size());
  now.reserve(after.records.size());
  for (const TranslationRecord& record : before.records) old[record.hash] = &record.text;
  for (const TranslationRecord& record : after.records) now[record.hash] = &record.text;
  size_t added = 0, removed = 0, changed = 0, same = 0;
  for (const TranslationRecord& record : before.records) {
    if (now.count(record.hash) != 0) continue;
    std::printf("- %s: %s\n", Key(record.hash, record.text, hosts).c_str(), QuotedPoText(record.text).c_str());
    ++removed;
  }
  for (const TranslationRecord& record : after.records) {
    const auto earlier = old.find(record.hash);
    if (earlier == old.end()) {
      std::printf("+ %s: %s\n", Key(record.hash, record.text, hosts).c_str(), QuotedPoText(record.text).c_str());
      ++added;
    } else if (*earlier->second != record.text) {
      std::printf("~ %s: %s -> %s\n", Key(record.hash, record.text, hosts).c_str(),
                  QuotedPoText(*earlier->second).c_str(), QuotedPoText(record.text).c_str());
      ++changed;
    } else {
      ++same;
    }
  }
  std::printf("records: %zu added, %zu removed, %zu changed, %zu unchanged\n", added, removed, changed, same);
  return added + removed + changed > 0;
}

// Two modules: their fonts too. Otherwise a line that says why only the records were compared.
bool CompareFonts(const ComparedImage& before, const ComparedImage& after) {
  if (before.font && after.font) return PrintFontDifferences(*before.font, *after.font);
  std::string without;
  for (const ComparedImage* side : {&before, &after}) {
    if (side->font) continue;
    without += (without.empty() ? "" : " and ") + side->path + " (" + side->kind + ")";
  }
  std::printf("records only: %s carr%s no font\n", without.c_str(), before.font || after.font ? "ies" : "y");
  return false;
}

}  // namespace

void AddDiffOptions(CLI::App* command, DiffOptions* options) {
  command->add_option("OLD", options->before, "module, translation resource, or translators' files (a folder, or one .po/.csv)")
      ->required();
  command->add_option("NEW", options->after, "the same kinds as OLD")->required();
  AddFilesOption(command, "--source", &options->sources,
                 "a .po/.pot/.csv file (or a list of host texts, one a line) that names the records of a module or "
                 "resource");
  AddSetOptions(command, &options->check);
  AddFontOptions(command, &options->check);
  AddLayoutOptions(command, &options->check, &options->layout, true);
}

int RunDiff(DiffOptions& options) {
  CommandPaths paths{options.sources, {}};
  paths.inputs.insert(paths.inputs.end(), options.check.hostTextFiles.begin(), options.check.hostTextFiles.end());
  paths.inputs.insert(paths.inputs.end(), {options.check.fontPath, options.layout.glyphs, options.layout.dll});
  paths.inputs.insert(paths.inputs.end(), options.check.fallbackFonts.begin(), options.check.fallbackFonts.end());
  CheckCommandPaths(paths);
  ResolveLayoutSources(options.layout, &options.check);
  // The files the two sides share are read and checked once.
  FileCheckCache shared;
  const ComparedImage before = ReadComparedImage(options.before, options.check, &shared);
  const ComparedImage after = ReadComparedImage(options.after, options.check, &shared);
  // The sets' own entries name the records (NEW's, then OLD's), then --source: those with the hash
  // of a record that differs, the only records named.
  const std::vector<TextEntry> sources = ReadSourceTexts(options.sources);
  const std::unordered_set<uint32_t> differing = DifferingHashes(before, after);
  std::vector<TextEntry> hostTexts;
  const auto name = [&](const TextEntry& entry) {
    if (!differing.empty() && differing.count(SubtitleHashBytes(entry.host.data(), entry.host.size())) != 0) {
      hostTexts.push_back(entry);
    }
  };
  for (const TextEntry* entry : after.hostTexts) name(*entry);
  for (const TextEntry* entry : before.hostTexts) name(*entry);
  for (const TextEntry& entry : sources) name(entry);
  const bool records = PrintDifferences(before, after, HostTextIndex(std::move(hostTexts)));
  return CompareFonts(before, after) || records ? kDifferent : kExitDone;
}

}  // namespace vykcn::tool

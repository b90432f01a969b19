#include "text_sources/translation_image_builder.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "base/utf8.h"
#include "common/command_error.h"
#include "formats/translation_image.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {

namespace {

std::string Shown(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out + "\"";
}

}  // namespace

TranslationImageBuild BuildTranslationImage(const std::vector<TextEntry>& entries) {
  std::vector<ImageRecord> imageRecords;
  std::vector<size_t> recordEntries;
  std::unordered_map<std::string_view, const TextEntry*> byHost;  // into the entries, which outlive it
  std::unordered_map<uint32_t, const TextEntry*> byHash;
  byHost.reserve(entries.size());
  byHash.reserve(entries.size());

  for (const TextEntry& entry : entries) {
    if (!entry.usable) continue;
    if (entry.translation.find('\0') != std::string::npos) {
      throw CommandError(entry.file, entry.line, "the translation contains a NUL byte");
    }
    if (!IsValidUtf8(entry.translation)) {
      throw CommandError(entry.file, entry.line, "the translation is not valid UTF-8");
    }
    auto host = byHost.find(entry.host);
    if (host != byHost.end()) {
      if (host->second->translation != entry.translation) {
        throw CommandError(entry.file, entry.line, "host text " + Shown(entry.host) + " has two different translations: " +
                           Shown(host->second->translation) + " at " + Place(*host->second) + " and " +
                           Shown(entry.translation) + " here");
      }
      continue;  // the same pair again: one record
    }
    byHost.emplace(entry.host, &entry);
    const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    auto sameHash = byHash.find(hash);
    if (sameHash != byHash.end()) {
      if (sameHash->second->translation != entry.translation) {
        char hex[16];
        std::snprintf(hex, sizeof(hex), "0x%08X", static_cast<unsigned>(hash));
        throw CommandError(entry.file, entry.line, "host texts " + Shown(sameHash->second->host) + " (" +
                           Place(*sameHash->second) + ") and " + Shown(entry.host) + " (here) share the hash " + hex +
                           " but have different translations: " + Shown(sameHash->second->translation) + " and " +
                           Shown(entry.translation));
      }
      continue;  // both host texts get this one record
    }
    byHash.emplace(hash, &entry);
    imageRecords.push_back({hash, entry.translation});
    recordEntries.push_back(static_cast<size_t>(&entry - entries.data()));
  }
  if (imageRecords.empty()) throw CommandError("empty input: no translated entries");

  TranslationImageBuild build;
  build.image = WriteTranslationImage(imageRecords);
  build.records = imageRecords.size();
  build.distinctHashes = byHash.size();
  build.recordEntries = std::move(recordEntries);
  return build;
}

}  // namespace vykcn::tool

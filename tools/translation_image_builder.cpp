#include "translation_image_builder.h"

#include <cstdio>
#include <unordered_map>

#include "commands.h"
#include "translation/subtitle_hash.h"
#include "translation/translation_image.h"

namespace vykcn::tool {

bool IsValidUtf8(const std::string& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    uint32_t cp, min;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1; cp = c & 0x1F; min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2; cp = c & 0x0F; min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3; cp = c & 0x07; min = 0x10000;
    } else {
      return false;
    }
    if (n - i <= static_cast<size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = cp << 6 | (p[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

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
  std::vector<const TextEntry*> records;
  std::unordered_map<std::string, const TextEntry*> by_host;
  std::unordered_map<uint32_t, const TextEntry*> by_hash;

  for (const TextEntry& entry : entries) {
    if (!entry.usable) continue;
    if (entry.translation.find('\0') != std::string::npos) {
      throw CommandError(Place(entry) + ": the translation contains a NUL byte");
    }
    if (!IsValidUtf8(entry.translation)) {
      throw CommandError(Place(entry) + ": the translation is not valid UTF-8");
    }
    auto host = by_host.find(entry.host);
    if (host != by_host.end()) {
      if (host->second->translation != entry.translation) {
        throw CommandError(Place(entry) + ": host text " + Shown(entry.host) + " has two different translations: " +
                           Shown(host->second->translation) + " at " + Place(*host->second) + " and " +
                           Shown(entry.translation) + " here");
      }
      continue;  // the same pair again: one record
    }
    by_host.emplace(entry.host, &entry);
    const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    auto same_hash = by_hash.find(hash);
    if (same_hash != by_hash.end()) {
      if (same_hash->second->translation != entry.translation) {
        char hex[16];
        std::snprintf(hex, sizeof(hex), "0x%08X", static_cast<unsigned>(hash));
        throw CommandError(Place(entry) + ": host texts " + Shown(same_hash->second->host) + " (" +
                           Place(*same_hash->second) + ") and " + Shown(entry.host) + " (here) share the hash " + hex +
                           " but have different translations: " + Shown(same_hash->second->translation) + " and " +
                           Shown(entry.translation));
      }
      continue;  // both host texts get this one record
    }
    by_hash.emplace(hash, &entry);
    records.push_back(&entry);
  }
  if (records.empty()) throw CommandError("empty input: no translated entries");

  TranslationImageBuild build;
  size_t size = kImageCountSize;
  for (const TextEntry* entry : records) size += kRecordHashSize + entry->translation.size() + 1;
  build.image.resize(size);
  WriteU32LE(build.image.data(), static_cast<uint32_t>(records.size()));
  size_t cursor = kImageCountSize;
  for (const TextEntry* entry : records) {
    WriteU32LE(build.image.data() + cursor, SubtitleHashBytes(entry->host.data(), entry->host.size()));
    cursor += kRecordHashSize;
    std::copy(entry->translation.begin(), entry->translation.end(), build.image.begin() + static_cast<std::ptrdiff_t>(cursor));
    cursor += entry->translation.size();
    build.image[cursor++] = 0;
  }
  build.records = records.size();
  build.distinct_hashes = by_hash.size();
  return build;
}

}  // namespace vykcn::tool

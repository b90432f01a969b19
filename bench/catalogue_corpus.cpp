#include "catalogue_corpus.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "base/utf8.h"
#include "text_sources/po_reader.h"
#include "translation/subtitle_hash.h"
#include "text_sources/translation_image_builder.h"

namespace vykcn::bench {

namespace fs = std::filesystem;

std::vector<tool::TextEntry> CatalogueEntries(const std::string& directory, size_t imageLimit,
                                              size_t maxRecords, size_t maxTranslation) {
  std::vector<std::string> catalogues;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory, error)) {
    if (entry.path().extension() == ".mo") catalogues.push_back(entry.path().string());
  }
  std::sort(catalogues.begin(), catalogues.end());

  const fs::path temp = fs::temp_directory_path() / ("vykcn-corpus-" + std::to_string(getpid()));
  fs::create_directories(temp);
  std::vector<tool::TextEntry> kept;
  std::set<uint32_t> hashes;
  size_t bytes = 4;  // the record count
  for (const auto& mo : catalogues) {
    if (bytes >= imageLimit || kept.size() >= maxRecords) break;
    const std::string po = (temp / (fs::path(mo).stem().string() + ".po")).string();
    if (std::system(("msgunfmt -o '" + po + "' '" + mo + "' 2>/dev/null").c_str()) != 0) continue;
    try {
      for (auto& e : tool::ReadPoFile(po).entries) {
        const uint32_t hash = SubtitleHashBytes(e.host.data(), e.host.size());
        if (!e.usable || hashes.count(hash) || !vykcn::IsValidUtf8(e.translation)) continue;
        if (e.translation.size() > maxTranslation || kept.size() >= maxRecords) continue;
        if (bytes + 5 + e.translation.size() > imageLimit) continue;
        hashes.insert(hash);
        bytes += 5 + e.translation.size();
        kept.push_back(std::move(e));
      }
    } catch (const std::exception&) {
      // A catalogue the PO reader rejects is left out of the corpus.
    }
  }
  fs::remove_all(temp);
  return kept;
}

namespace {

// The first or the last `share` of `text`, cut on a character boundary.
std::string Part(const std::string& text, bool first, double share) {
  size_t cut = static_cast<size_t>(text.size() * (first ? share : 1 - share));
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return first ? text.substr(0, cut) : text.substr(cut);
}

}  // namespace

std::vector<tool::TextEntry> GameScriptEntries(const std::string& directory, size_t records,
                                               size_t maxTranslation) {
  std::vector<tool::TextEntry> lines = CatalogueEntries(directory, SIZE_MAX, records, maxTranslation);
  if (lines.size() < 2) return lines;
  std::set<uint32_t> hashes;
  for (const auto& line : lines) hashes.insert(SubtitleHashBytes(line.host.data(), line.host.size()));
  const size_t originals = lines.size();
  // Joined lines keep 76% of each, and both come from a stretch of about 10,000 lines around a
  // cursor that walks through the catalogues, as a script's scenes reuse their own words: 100,000
  // lines then make an image of about 4.8 MB that compresses to about 0.35 of its size (the
  // catalogues' own text: 0.39).
  constexpr double kShare = 0.76;
  constexpr size_t kScene = 10000;
  uint64_t state = 0x9E3779B97F4A7C15u;  // fixed seed: the same script on every run
  auto next = [&state] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<size_t>(state >> 33);
  };
  while (lines.size() < records) {
    const size_t cursor = (lines.size() - originals) * originals / (records - originals + 1);
    const size_t a = (cursor + next() % kScene) % originals, b = (cursor + next() % kScene) % originals;
    if (a == b) continue;
    tool::TextEntry joined = lines[a];
    joined.host = Part(lines[a].host, true, 0.5) + Part(lines[b].host, false, 0.5) + " #" + std::to_string(lines.size());
    joined.translation = Part(lines[a].translation, true, kShare) + Part(lines[b].translation, false, kShare);
    if (joined.translation.empty() || !vykcn::IsValidUtf8(joined.translation)) continue;
    if (!hashes.insert(SubtitleHashBytes(joined.host.data(), joined.host.size())).second) continue;
    lines.push_back(std::move(joined));
  }
  return lines;
}

}  // namespace vykcn::bench

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
      for (auto& e : tool::ReadPoFile(po)) {
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

}  // namespace vykcn::bench

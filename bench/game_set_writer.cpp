// Writes a whole game's translation set for the build benchmark: 100,000 lines of the machine's
// zh_CN catalogues (joined as lookup_bench joins them, so the script reads and compresses like a
// game's) in 20 PO files, whose translations use 5,000 distinct ideographs.
//
// usage: game_set_writer DIR [--lines N] [--files N] [--ideographs N]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue_corpus.h"
#include "base/utf8.h"
#include "checks/entry_checks.h"
#include "common/file_io.h"
#include "font_building/font_rasterizer.h"
#include "frequent_ideographs.h"
#include "text_sources/po_writer.h"

namespace {

constexpr const char* kCatalogues = "/usr/share/locale/zh_CN/LC_MESSAGES";
constexpr const char* kFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
constexpr size_t kLongestLine = 400;  // bytes of a subtitle's translation

void AppendUtf8(std::string* text, uint32_t c) {
  if (c < 0x800) {
    *text += static_cast<char>(0xC0 | (c >> 6));
  } else {
    *text += static_cast<char>(0xE0 | (c >> 12));
    *text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  *text += static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: game_set_writer DIR [--lines N] [--files N] [--ideographs N]\n");
    return 1;
  }
  const std::string directory = argv[1];
  size_t lines = 100000, files = 20, ideographs = 5000;
  for (int i = 2; i + 1 < argc; i += 2) {
    const size_t value = std::stoul(argv[i + 1]);
    if (std::strcmp(argv[i], "--lines") == 0) lines = value;
    else if (std::strcmp(argv[i], "--files") == 0) files = value;
    else if (std::strcmp(argv[i], "--ideographs") == 0) ideographs = value;
  }
  try {
    std::vector<vykcn::tool::TextEntry> script;
    // A game's script has none of the catalogues' control characters (bells, carriage returns), its
    // team's font draws every character of it, and the build takes every line: a joined line whose
    // printf conversions came out in another order than its host text's is left out.
    const vykcn::tool::FontRasterizer font(kFont);
    std::vector<uint32_t> codes;
    std::vector<vykcn::tool::Problem> findings;
    for (vykcn::tool::TextEntry& entry : vykcn::bench::GameScriptEntries(kCatalogues, lines, kLongestLine)) {
      bool drawable = vykcn::DecodeUtf8(entry.translation, &codes);
      for (uint32_t c : codes) drawable &= c == '\t' || c == '\n' || (c >= 0x20 && c <= 0xFFFF && font.HasGlyph(c));
      if (drawable && vykcn::tool::CheckEntry(entry, 0, &findings)) script.push_back(std::move(entry));
    }
    // The script's own lines first; then lines that name the rarer ideographs a game's names and
    // places bring, until the set uses as many distinct ones as asked.
    const std::vector<uint16_t> rare = vykcn::bench::FrequentIdeographs(kCatalogues, kFont, ideographs);
    for (size_t i = 0, line = 0; i < rare.size(); i += 20, ++line) {
      vykcn::tool::TextEntry names;
      names.host = "Names " + std::to_string(line);
      for (size_t j = i; j < rare.size() && j < i + 20; ++j) AppendUtf8(&names.translation, rare[j]);
      script.push_back(names);
    }
    std::filesystem::create_directories(directory);
    const size_t perFile = (script.size() + files - 1) / files;
    for (size_t f = 0; f < files; ++f) {
      vykcn::tool::PoCatalogue catalogue;
      catalogue.language = "zh_CN";
      for (size_t i = f * perFile; i < script.size() && i < (f + 1) * perFile; ++i) {
        catalogue.messages.push_back({"", 0, false, "", script[i].host, script[i].translation});
      }
      char name[32];
      std::snprintf(name, sizeof name, "/script-%02zu.po", f + 1);
      const std::string text = vykcn::tool::WritePoCatalogue(catalogue);
      vykcn::tool::WriteFileAtomically(directory + name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    std::printf("%s: %zu lines in %zu files\n", directory.c_str(), script.size(), files);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "game_set_writer: %s\n", e.what());
    return 1;
  }
  return 0;
}

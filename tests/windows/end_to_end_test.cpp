// A built module, loaded by name into a plain process, translates every host text of its sources
// through the exported ReplaceSubtitle, and hands back unknown texts untouched.
// Usage: end_to_end_tests MODULE-DLL PAIRS-TSV (paths relative to this executable), where the
// TSV is what `vykcn-tool unpack-text RESOURCE --source FILES...` prints for the module's sources.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace vykcn {
namespace {

std::string gModulePath;
std::string gPairsPath;

struct Pair {
  std::string host;
  std::string translation;
};

// Undoes the TSV escapes: \\ \t \n \r and \xHH.
std::string Unescape(const std::string& cell) {
  std::string out;
  for (size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '\\' || i + 1 == cell.size()) {
      out += cell[i];
      continue;
    }
    const char e = cell[++i];
    if (e == 't') out += '\t';
    else if (e == 'n') out += '\n';
    else if (e == 'r') out += '\r';
    else if (e == 'x' && i + 2 < cell.size()) {
      out += static_cast<char>(std::stoi(cell.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else out += e;
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream stream(line);
  std::string cell;
  while (std::getline(stream, cell, '\t')) cells.push_back(cell);
  if (!line.empty() && line.back() == '\t') cells.push_back("");
  return cells;
}

// Translated pairs, and host texts that have no record.
void ReadPairs(std::vector<Pair>* translated, std::vector<std::string>* untranslated) {
  std::ifstream in(test::ExeDirectory() + gPairsPath, std::ios::binary);
  ASSERT_TRUE(in) << gPairsPath;
  std::string line;
  bool inUntranslated = false;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (line.rfind("# host texts without a record", 0) == 0) {
      inUntranslated = true;
      continue;
    }
    const std::vector<std::string> cells = SplitTabs(line);
    ASSERT_EQ(cells.size(), 3u) << line;
    if (inUntranslated) untranslated->push_back(Unescape(cells[1]));
    else if (!cells[2].empty()) translated->push_back({Unescape(cells[2]), Unescape(cells[1])});
  }
}

TEST(EndToEnd, EveryHostTextOfTheSourcesIsTranslated) {
  std::vector<Pair> translated;
  std::vector<std::string> untranslated;
  ReadPairs(&translated, &untranslated);
  ASSERT_FALSE(translated.empty());

  HMODULE module = test::LoadRelative(gModulePath);
  ASSERT_NE(module, nullptr);
  test::MessageBoxRecorder messages(module);
  using ReplaceSubtitleFn = const char* (*)(const char*);
  auto replace = reinterpret_cast<ReplaceSubtitleFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "?ReplaceSubtitle@@YAPEBDPEBD@Z")));
  ASSERT_NE(replace, nullptr);

  for (const Pair& pair : translated) {
    const char* result = replace(pair.host.c_str());
    ASSERT_NE(result, nullptr);
    EXPECT_NE(result, pair.host.c_str()) << pair.host;
    EXPECT_EQ(std::string(result), pair.translation) << pair.host;
  }
  for (const std::string& host : untranslated) {
    EXPECT_EQ(replace(host.c_str()), host.c_str()) << host;
  }
  const std::string unknown = "a text that no translator has seen";
  EXPECT_EQ(replace(unknown.c_str()), unknown.c_str());
  EXPECT_TRUE(messages.calls().empty());
}

}  // namespace
}  // namespace vykcn

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: end_to_end_tests MODULE-DLL PAIRS-TSV\n");
    return 2;
  }
  vykcn::gModulePath = argv[1];
  vykcn::gPairsPath = argv[2];
  return RUN_ALL_TESTS();
}

// The test build's side of the toolkit as a translator runs it: watch against a folder that the test
// edits meanwhile, and find naming where a hash or a text seen in the game comes from.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iterator>
#include <thread>

#include "common/hash_label.h"
#include "tool_runner.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_files.h"
#include "translation/translation_loader.h"

namespace vykcn::test {
namespace {

namespace fs = std::filesystem;

const char kHeader[] = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

// What the module serves from the file, by host text; "(refused)" when it would not load it.
std::string Served(const std::string& resource, const std::string& host) {
  const std::vector<uint8_t> bytes = ReadBytes(resource);
  TranslationTable table;
  if (LoadTranslationResource(bytes.data(), bytes.size(), table) != LoadStatus::kLoaded) return "(refused)";
  const char* text = table.lookup(TestHash(host));
  return text != nullptr ? text : "";
}

// Writes the file as an editor saving it does, under another name first, so that the watch never
// reads it half written.
void Save(const TempDir& dir, const std::string& name, const std::string& content) {
  fs::rename(dir.Write(name + ".saving", content), dir.Path(name));
}

// Waits up to a minute (Wine starts slowly) for `done`.
bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 600 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return done();
}

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'F' ? c + 32 : c; });
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  return lines;
}

TEST(WatchCommand, WritesEachGoodEditAndKeepsTheLastGoodAfterABadOne) {
  TempDir dir;
  const std::string set = dir.Path("set"), game = dir.Path("game"), log = dir.Path("watch.log");
  fs::create_directories(set + "/patches");
  fs::create_directory(game);
  dir.Write("set/a.po", std::string(kHeader) + "msgid \"Yes\"\nmsgstr \"是\"\n\nmsgid \"No\"\nmsgstr \"否\"\n");
  dir.Write("set/patches/b.csv", "source,translation\nOpen,打开\n");
  const std::string live = game + "/vykcn-live/translations.bin";

  struct Edit {
    std::function<void()> make;
    std::string line;  // the watch's line for it, after the folder's path and before the output's
    std::vector<std::pair<std::string, std::string>> served;  // host text -> what the game then shows
  };
  const Edit edits[] = {
      {[] {}, ": records 3 added, 0 changed, 0 removed (3 in all); wrote ",
       {{"Yes", "是"}, {"No", "否"}, {"Open", "打开"}}},
      {[&] { Save(dir, "set/a.po", std::string(kHeader) + "msgid \"Yes\"\nmsgstr \"是\"\n\nmsgid \"No\"\nmsgstr \"不\"\n"); },
       "/a.po: records 0 added, 1 changed, 0 removed (3 in all); wrote ",
       {{"Yes", "是"}, {"No", "不"}, {"Open", "打开"}}},
      // Another translation of a text a.po translates: an error, and the game keeps what it had.
      {[&] { Save(dir, "set/patches/b.csv", "source,translation\nOpen,打开\nYes,对\n"); },
       "/patches/b.csv: 1 error; kept the last good ", {{"Yes", "是"}, {"No", "不"}}},
      {[&] { Save(dir, "set/c.po", std::string(kHeader) + "msgid \"Later\"\nmsgstr \"稍后\"\n"); },
       "/c.po (new): 1 error; kept the last good ", {{"Later", ""}}},
      {[&] { Save(dir, "set/patches/b.csv", "source,translation\nOpen,打开\n"); },
       "/patches/b.csv: records 1 added, 0 changed, 0 removed (4 in all); wrote ",
       {{"Later", "稍后"}, {"Yes", "是"}}},
      {[&] { fs::remove(set + "/a.po"); },
       "/a.po (removed): records 0 added, 0 changed, 2 removed (2 in all); wrote ",
       {{"Yes", ""}, {"Open", "打开"}, {"Later", "稍后"}}},
  };
  ToolRun run;
  std::thread watch([&] {
    run = RunTool({"watch", set, "--into", game, "--exit-after", std::to_string(std::size(edits) - 1)}, log.c_str());
  });
  for (size_t i = 0; i < std::size(edits); ++i) {
    SCOPED_TRACE(edits[i].line);
    edits[i].make();
    // Lines come in their Windows form under Wine: compared with '/' for '\'.
    const auto lines = [&] {
      const std::vector<uint8_t> bytes = ReadBytes(log);
      std::string text = AsOnLinux(std::string(bytes.begin(), bytes.end()), {});
      if (WindowsToolUnderTest() != nullptr) std::replace(text.begin(), text.end(), '\\', '/');
      return Lines(text);
    };
    ASSERT_TRUE(WaitFor([&] { return lines().size() > i; })) << "no line for the edit";
    const std::string line = lines()[i];
    EXPECT_NE(line.find("set" + edits[i].line), std::string::npos) << line;
    EXPECT_TRUE(line.size() > 27 && line.substr(line.size() - 27) == "vykcn-live/translations.bin") << line;
    for (const auto& [host, shown] : edits[i].served) EXPECT_EQ(Served(live, host), shown) << host;
  }
  watch.join();
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("b.csv:3: error: host text \"Yes\" has another translation"), std::string::npos) << run.err;
  size_t files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(game + "/vykcn-live")) {
    EXPECT_EQ(entry.path().filename(), "translations.bin") << "a temporary file left";
    ++files;
  }
  EXPECT_EQ(files, 1u);
}

TEST(FindCommand, NamesTheEntriesOfAHashOrATextAndExitsLikeGrep) {
  TempDir dir;
  fs::create_directories(dir.Path("set/z"));
  dir.Write("set/a.po", std::string(kHeader) + "msgid \"Yes\"\nmsgstr \"是\"\n\nmsgid \"Later\"\nmsgstr \"\"\n");
  dir.Write("set/z/b.csv", "source,translation\nOpen,打开\nYes,是\n");
  const std::string set = dir.Path("set"), a = set + "/a.po", b = set + "/z/b.csv";
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string out;  // or, when the search fails, what stderr says
  };
  const Case cases[] = {
      {{"--hash", tool::HashLabel(TestHash("Yes"))}, 0, a + ":4: \"Yes\"\n" + b + ":3: \"Yes\"\n"},
      {{"--hash", LowerCase(tool::HashLabel(TestHash("Open")))}, 0, b + ":2: \"Open\"\n"},
      {{"--text", "Later"}, 0, a + ":7: \"Later\" (untranslated)\n"},
      {{"--text", "打开"}, 0, b + ":2: \"Open\" -> \"打开\"\n"},
      {{"--text", "Nothing"}, 1, "no entry with the host text or translation \"Nothing\" in 2 files"},
      {{"--hash", "0x1"}, 1, "no entry of hash 0x00000001 in 2 files"},
      {{"--hash", "1234"}, 2, "'1234' is no hash"},
      {{"--text", "x", "--hash", "0x1"}, 2, "excludes"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"find"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.push_back(set);
    SCOPED_TRACE(c.arguments.back());
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    if (c.exitCode == 0) EXPECT_EQ(run.out, c.out);
    else EXPECT_NE(run.err.find(c.out), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace vykcn::test

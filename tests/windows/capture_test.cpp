// The test build of the module in a simulated host: translated and unknown texts driven through
// its subtitle site, dialogue site and export, on two threads, and the vykcn-capture.po it writes
// beside this executable. Two runs, each a process of its own:
//   capture_tests --drive   loads the module and drives the texts; the module writes the file
//                           while the process runs, and a last time as it ends
//   capture_tests --check   reads the file the last --drive left
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "simulated_host.h"
#include "test_support.h"

namespace vykcn {
namespace {

using test::HostLayout;
using test::SimulatedHost;

struct Driven {
  const char* text;
  const char* shown;  // the translation the host is given, or null for the text itself
};

// Each site's texts, in the order driven: the fixture's translations, and texts it lacks.
const Driven kSubtitleTexts[] = {
    {"Welcome home.", "欢迎回家。"},
    {"Welcome home. ", "欢迎回家。"},  // without its last byte
    {"Open the door!", "开门"},
    {"Run away!?", "快跑"},
    {"Halt!", "OK"},
    {"Nothing like it", nullptr},
    {"Line one\nLine two", nullptr},
    {"Bell\x07 rings", nullptr},
};
const Driven kDialogueTexts[] = {
    {"Who goes there?", "谁在那儿？"},
    {"Who goes there?\n", nullptr},
    {"Who goes\nthere?", nullptr},
    {"Nothing like it", nullptr},
};
const Driven kExportTexts[] = {
    {"OK", "OK"},
    {"Caf\xE9 au lait", nullptr},
    {"Say \"hi\" \\ bye\t", nullptr},
    {"Still a draft", nullptr},
    {"", nullptr},
    {"Nothing like it", nullptr},
};
// First seen in the second round of driving, by both threads at once.
constexpr const char* kSharedText = "Both at once";
constexpr int kRounds = 40;

std::string CapturePath() { return test::ExeDirectory() + "vykcn-capture.po"; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Shows(const Driven& driven, const char* shown) {
  return driven.shown == nullptr ? shown == driven.text : shown != nullptr && std::strcmp(shown, driven.shown) == 0;
}

const char* AtSubtitleSite(SimulatedHost& host, const char* text) {
  host.currentSubtitle() = text;
  host.RunSubtitleSite();
  return host.currentSubtitle();
}

const char* AtDialogueSite(SimulatedHost& host, const char* text) {
  uint32_t r14Value = 7;
  host.RunDialogueSite(text, &r14Value);
  return reinterpret_cast<const char*>(host.recorder().rbx);
}

class CaptureDrive : public ::testing::Test {};

TEST_F(CaptureDrive, SitesAndExportOnTwoThreads) {
  DeleteFileA(CapturePath().c_str());
  static SimulatedHost host;
  ASSERT_TRUE(host.Map(HostLayout::kExpected));
  HMODULE module = test::LoadRelative("..\\translated-test-build-module\\vykcn.dll");
  ASSERT_NE(module, nullptr);
  test::MessageBoxRecorder messages(module);
  using ReplaceSubtitleFn = const char* (*)(const char*);
  const auto replace = reinterpret_cast<ReplaceSubtitleFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "?ReplaceSubtitle@@YAPEBDPEBD@Z")));
  ASSERT_NE(replace, nullptr);

  // Each text once, on this thread: the test build shows what the shipped module shows.
  for (const Driven& d : kSubtitleTexts) EXPECT_TRUE(Shows(d, AtSubtitleSite(host, d.text))) << d.text;
  for (const Driven& d : kDialogueTexts) EXPECT_TRUE(Shows(d, AtDialogueSite(host, d.text))) << d.text;
  for (const Driven& d : kExportTexts) EXPECT_TRUE(Shows(d, replace(d.text))) << d.text;

  // The module's writer writes the file while the host runs, within a few seconds.
  std::string written;
  for (int wait = 0; wait < 300 && written.find("msgid \"Still a draft\"") == std::string::npos; ++wait) {
    Sleep(100);
    written = ReadAll(CapturePath());
  }
  EXPECT_NE(written.find("msgid \"Still a draft\""), std::string::npos) << written;

  // Then the subtitle site on one thread, the dialogue site and the export on another.
  std::atomic<int> wrong{0};
  std::thread subtitles([&] {
    for (int round = 0; round < kRounds; ++round) {
      if (!Shows({kSharedText, nullptr}, AtSubtitleSite(host, kSharedText))) ++wrong;
      for (const Driven& d : kSubtitleTexts) wrong += !Shows(d, AtSubtitleSite(host, d.text));
    }
  });
  std::thread dialogue([&] {
    for (int round = 0; round < kRounds; ++round) {
      if (!Shows({kSharedText, nullptr}, AtDialogueSite(host, kSharedText))) ++wrong;
      for (const Driven& d : kDialogueTexts) wrong += !Shows(d, AtDialogueSite(host, d.text));
      for (const Driven& d : kExportTexts) wrong += !Shows(d, replace(d.text));
    }
  });
  subtitles.join();
  dialogue.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_TRUE(messages.calls().empty());
}

class CaptureFile : public ::testing::Test {};

TEST_F(CaptureFile, HoldsTheUnknownTextsWithTheirSitesAndPasses) {
  const std::string file = ReadAll(CapturePath());
  ASSERT_FALSE(file.empty()) << "no " << CapturePath();
  EXPECT_EQ(GetFileAttributesA((CapturePath() + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(file.find("\n# Texts without a translation of their own (below): 13; translated: 3; "
                      "passes of the empty text: 41.\n# Passes not recorded: 0 "),
            std::string::npos)
      << file;

  // In the order first seen, each with every pass of the last run (the file of the detach).
  const std::string all = "41 passes; shown untranslated\n";
  struct Entry {
    std::string comments;
    std::string msgid;  // as written
  };
  const Entry entries[] = {
      {"#. subtitle site: 41 passes; shown the translation of the text without its last byte\n", "\"Welcome home. \""},
      {"#. subtitle site: 41 passes; shown the translation of the text without its last byte\n", "\"Open the door!\""},
      {"#. subtitle site: 41 passes; shown the translation of the text without its last two bytes\n", "\"Run away!?\""},
      {"#. subtitle site: 41 passes; shown the translation of the text without its last byte, replaced by the "
       "second pass\n",
       "\"Halt!\""},
      {"#. subtitle site: " + all + "#. dialogue site: " + all + "#. export: " + all, "\"Nothing like it\""},
      {"#. subtitle site: " + all, "\"\"\n\"Line one\\n\"\n\"Line two\""},
      {"#. subtitle site: " + all, "\"Bell\\007 rings\""},
      {"#. dialogue site: " + all, "\"Who goes there?\\n\""},
      {"#. dialogue site: " + all, "\"\"\n\"Who goes\\n\"\n\"there?\""},
      {"#. export: " + all, "\"Caf\\351 au lait\""},
      {"#. export: " + all, "\"Say \\\"hi\\\" \\\\ bye\\t\""},
      {"#. export: " + all, "\"Still a draft\""},
      {"#. subtitle site: 40 passes; shown untranslated\n#. dialogue site: 40 passes; shown untranslated\n",
       "\"Both at once\""},
  };
  std::string expected;
  for (const Entry& entry : entries) expected += "\n" + entry.comments + "msgid " + entry.msgid + "\nmsgstr \"\"\n";
  const size_t body = file.find("\n\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(file.substr(body + 1), expected);
}

}  // namespace
}  // namespace vykcn

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
  ::testing::GTEST_FLAG(filter) = check ? "CaptureFile.*" : "CaptureDrive.*";
  return RUN_ALL_TESTS();
}

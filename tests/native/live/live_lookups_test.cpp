// The test build's lookups: the shipped translator's answers over the live index, each pass recorded
// with how its site answered it; what the keys' display flags hand the host; the capture's answers
// asked again after a reload.
#include "live/live_lookups.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/translation_packing.h"
#include "translation/image_builder.h"

namespace vykcn {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

const Pairs kPairs = {{"Hello", "你好"},
                      {"Halt", "OK\xC3\xA9"},  // without its last two bytes: "OK"
                      {"OK", "好"},
                      {"Hi", "嗨"},
                      {std::string(1500, 'x'), "长"}};

std::vector<uint8_t> Resource(const Pairs& pairs) {
  return tool::PackTranslationResource(test::BuildImageFromTexts(pairs));
}

struct Shipped final : TableLoader {
  LoadStatus LoadTranslationTable() noexcept override { return table.FillFromImage(image.data(), image.size()); }
  std::vector<uint8_t> image = test::BuildImageFromTexts(kPairs);
  TranslationTable table;
  SubtitleTranslator translator{table, *this};
};

std::string Prefix(const char* host, bool fallback) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "[0x%08X%s] ", static_cast<unsigned>(SubtitleHash(host)), fallback ? "~" : "");
  return prefix;
}

TEST(LiveLookups, EachPassIsTheShippedAnswerRecordedWithHowItWasFoundAndShownAsTheKeysAsk) {
  struct Case {
    std::string text;
    CaptureSite site;
    LookupAnswer answer;
    std::string prefixedBy;  // the host text whose hash the prefix names
    bool fallback;
  };
  const Case cases[] = {
      {"Hello", CaptureSite::kSubtitle, LookupAnswer::kOwn, "Hello", false},
      {"Hello!", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast, "Hello", true},
      {"Hello!?", CaptureSite::kSubtitle, LookupAnswer::kWithoutLastTwo, "Hello", true},
      {"Halt!", CaptureSite::kSubtitle, LookupAnswer::kWithoutLastReplaced, "OK", true},
      {"Hi", CaptureSite::kSubtitle, LookupAnswer::kOwn, "Hi", false},
      {"Hi!", CaptureSite::kSubtitle, LookupAnswer::kNone, "Hi!", false},  // 3 bytes: no fallback
      {"Nothing", CaptureSite::kSubtitle, LookupAnswer::kNone, "Nothing", false},
      {std::string(1500, 'x') + "?", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast, std::string(1500, 'x'), true},
      {"Hello!", CaptureSite::kDialogue, LookupAnswer::kNone, "Hello!", false},  // only the subtitle site falls back
      {"Halt", CaptureSite::kExport, LookupAnswer::kOwn, "Halt", false},
  };
  Shipped shipped;
  LiveTranslations live;
  const std::vector<uint8_t> resource = Resource(kPairs);
  ASSERT_EQ(live.LoadEmbedded(resource.data(), resource.size()).status, LoadStatus::kLoaded);
  CaptureRecorder recorder;
  PrefixedTexts prefixed;
  LiveLookups lookups(live, &recorder, &prefixed);
  const auto ask = [&lookups](const Case& c) {
    const char* shown = c.text.c_str();
    if (c.site == CaptureSite::kSubtitle) {
      lookups.ReplaceSubtitlePointer(&shown);
      return shown;
    }
    return lookups.ReplaceSubtitle(shown, c.site);
  };
  for (const Case& c : cases) {
    const char* text = c.text.c_str();
    const char* shippedShown = text;
    if (c.site == CaptureSite::kSubtitle) {
      shipped.translator.ReplaceSubtitlePointer(&shippedShown);
    } else {
      shippedShown = shipped.translator.ReplaceSubtitle(text);
    }
    const char* shown = ask(c);
    EXPECT_EQ(shown == text, shippedShown == text) << c.text;
    EXPECT_STREQ(shown, shippedShown);

    // The original text, at every site; then the prefix of the hash that matched, on the translation
    // or, with the original, on the text itself; the same line each time.
    lookups.ToggleDisplay(kShowOriginal);
    EXPECT_EQ(ask(c), text) << c.text;
    lookups.ToggleDisplay(kShowHashPrefix);
    EXPECT_EQ(ask(c), Prefix(text, false) + c.text) << c.text;
    lookups.ToggleDisplay(kShowOriginal);
    const char* line = ask(c);
    EXPECT_EQ(line, Prefix(c.prefixedBy.c_str(), c.fallback) + shippedShown) << c.text;
    EXPECT_EQ(ask(c), line) << c.text;
    // A prefixed line the host hands back is left alone.
    const char* again = line;
    lookups.ReplaceSubtitlePointer(&again);
    EXPECT_EQ(again, line);
    lookups.ToggleDisplay(kShowHashPrefix);
  }
  for (const Case& c : cases) {
    size_t at = 0;
    while (at < recorder.size() && recorder.at(at).text() != c.text) ++at;
    ASSERT_LT(at, recorder.size()) << c.text;
    EXPECT_EQ(recorder.at(at).AnswerAt(c.site), c.answer) << c.text;
    EXPECT_EQ(recorder.at(at).PassesAt(c.site), 5u) << c.text;
  }
  // Null texts pass through unrecorded.
  const char* null = nullptr;
  lookups.ReplaceSubtitlePointer(&null);
  lookups.ReplaceSubtitlePointer(nullptr);
  EXPECT_EQ(lookups.ReplaceSubtitle(nullptr, CaptureSite::kExport), nullptr);
  EXPECT_EQ(recorder.size(), std::size(cases) - 1);
  EXPECT_EQ(recorder.droppedPasses(), 0u);
  EXPECT_EQ(prefixed.unprefixed(), 0u);

  // A reload that translates "Hello!" and drops "Hi": the recorded answers follow it.
  Pairs next = kPairs;
  next.push_back({"Hello!", "你好！"});
  next.erase(next.begin() + 3);
  const std::vector<uint8_t> reloaded = Resource(next);
  ASSERT_TRUE(live.Reload(reloaded.data(), reloaded.size()).published);
  const uint64_t revision = recorder.revision();
  ReanswerCapture(*live.current(), recorder);
  EXPECT_GT(recorder.revision(), revision);
  EXPECT_EQ(recorder.at(1).text(), "Hello!");
  EXPECT_EQ(recorder.at(1).AnswerAt(CaptureSite::kSubtitle), LookupAnswer::kOwn);
  EXPECT_EQ(recorder.at(1).AnswerAt(CaptureSite::kDialogue), LookupAnswer::kOwn);
  EXPECT_EQ(recorder.at(4).text(), "Hi");
  EXPECT_EQ(recorder.at(4).AnswerAt(CaptureSite::kSubtitle), LookupAnswer::kNone);
  EXPECT_EQ(recorder.at(0).AnswerAt(CaptureSite::kSubtitle), LookupAnswer::kOwn);
}

}  // namespace
}  // namespace vykcn

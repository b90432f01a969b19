// The capture build's lookups: the shipped translator's answers, each pass recorded with how its
// site answered it.
#include "capture/capturing_lookups.h"

#include <gtest/gtest.h>

#include <string>

#include "translation/image_builder.h"

namespace vykcn {
namespace {

struct Rig final : TableLoader {
  Rig()
      : image(test::BuildImageFromTexts({{"Hello", "你好"},
                                         {"Halt", "OK\xC3\xA9"},  // without its last two bytes: "OK"
                                         {"OK", "好"},
                                         {"Hi", "嗨"},
                                         {std::string(1500, 'x'), "长"}})) {}
  LoadStatus LoadTranslationTable() noexcept override { return table.FillFromImage(image.data(), image.size()); }
  std::vector<uint8_t> image;
  TranslationTable table;
  SubtitleTranslator translator{table, *this};
};

TEST(CapturingLookups, EachPassIsTheShippedAnswerRecordedWithHowItWasFound) {
  struct Case {
    std::string text;
    CaptureSite site;
    LookupAnswer answer;
  };
  const Case cases[] = {
      {"Hello", CaptureSite::kSubtitle, LookupAnswer::kOwn},
      {"Hello!", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast},
      {"Hello!?", CaptureSite::kSubtitle, LookupAnswer::kWithoutLastTwo},
      {"Halt!", CaptureSite::kSubtitle, LookupAnswer::kWithoutLastReplaced},
      {"Hi", CaptureSite::kSubtitle, LookupAnswer::kOwn},
      {"Hi!", CaptureSite::kSubtitle, LookupAnswer::kNone},  // 3 bytes: no fallback
      {"Nothing", CaptureSite::kSubtitle, LookupAnswer::kNone},
      {std::string(1500, 'x') + "?", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast},  // no stack copy
      {"Hello!", CaptureSite::kDialogue, LookupAnswer::kNone},  // only the subtitle site falls back
      {"Halt", CaptureSite::kExport, LookupAnswer::kOwn},
  };
  Rig shipped, captured;
  CaptureRecorder recorder;
  CapturingLookups lookups(captured.translator, recorder);
  for (const Case& c : cases) {
    const char* text = c.text.c_str();
    const char* shown = text;
    const char* shippedShown = text;
    if (c.site == CaptureSite::kSubtitle) {
      lookups.ReplaceSubtitlePointer(&shown);
      shipped.translator.ReplaceSubtitlePointer(&shippedShown);
    } else {
      shown = lookups.ReplaceSubtitle(text, c.site);
      shippedShown = shipped.translator.ReplaceSubtitle(text);
    }
    EXPECT_EQ(shown == text, shippedShown == text) << c.text;
    EXPECT_STREQ(shown, shippedShown);
  }
  for (const Case& c : cases) {
    size_t at = 0;
    while (at < recorder.size() && recorder.at(at).text() != c.text) ++at;
    ASSERT_LT(at, recorder.size()) << c.text;
    EXPECT_EQ(recorder.at(at).AnswerAt(c.site), c.answer) << c.text;
    EXPECT_EQ(recorder.at(at).PassesAt(c.site), 1u) << c.text;
  }
  // Null texts pass through unrecorded.
  const char* null = nullptr;
  lookups.ReplaceSubtitlePointer(&null);
  lookups.ReplaceSubtitlePointer(nullptr);
  EXPECT_EQ(lookups.ReplaceSubtitle(nullptr, CaptureSite::kExport), nullptr);
  EXPECT_EQ(recorder.size(), std::size(cases) - 1);
  EXPECT_EQ(recorder.droppedPasses(), 0u);
}

}  // namespace
}  // namespace vykcn

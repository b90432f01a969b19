// The capture build's lookups: the shipped translator's answers, each pass recorded with how the
// site answered it.
#include "capture/capturing_lookups.h"

#include <gtest/gtest.h>

#include <string>

#include "translation/image_builder.h"

namespace vykcn {
namespace {

struct Rig final : TableLoader {
  explicit Rig(std::vector<uint8_t> image) : image(std::move(image)) {}
  bool LoadTranslationTable() noexcept override {
    return !failLoads && table.FillFromImage(image.data(), image.size()) == FillResult::kFilled;
  }
  std::vector<uint8_t> image;
  bool failLoads = false;
  TranslationTable table;
  SubtitleTranslator translator{table, *this};
};

std::vector<uint8_t> Image() {
  const std::string longHost(1500, 'x');
  return test::BuildImageFromTexts({
      {"Hello", "你好"},
      {"Halt", "OK\xC3\xA9"},  // whose translation without its last two bytes is "OK"
      {"OK", "好"},
      {"Hi", "嗨"},
      {longHost, "长"},
  });
}

TEST(CapturingLookups, EachPassIsTheTranslatorsAnswerRecordedWithHowItWasFound) {
  struct Case {
    std::string text;
    CaptureSite site;
    LookupAnswer answer;
  };
  const std::string longHost(1500, 'x');
  const Case cases[] = {
      {"Hello", CaptureSite::kSubtitle, LookupAnswer::kOwn},
      {"Hello!", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast},
      {"Hello!?", CaptureSite::kSubtitle, LookupAnswer::kWithoutLastTwo},
      {"Halt!", CaptureSite::kSubtitle, LookupAnswer::kWithoutLastReplaced},
      {"Hi", CaptureSite::kSubtitle, LookupAnswer::kOwn},
      {"Hi!", CaptureSite::kSubtitle, LookupAnswer::kNone},  // 3 bytes: no fallback
      {"Nothing", CaptureSite::kSubtitle, LookupAnswer::kNone},
      {longHost + "?", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast},  // longer than the stack copy
      {"Hello", CaptureSite::kDialogue, LookupAnswer::kOwn},
      {"Hello!", CaptureSite::kDialogue, LookupAnswer::kNone},  // only the subtitle site falls back
      {"Halt", CaptureSite::kExport, LookupAnswer::kOwn},
      {"Halt!", CaptureSite::kExport, LookupAnswer::kNone},
  };
  Rig shipped(Image()), captured(Image());
  CaptureRecorder recorder;
  CapturingLookups lookups(captured.translator, recorder);
  for (const Case& c : cases) {
    const char* text = c.text.c_str();
    if (c.site == CaptureSite::kSubtitle) {
      const char* shippedSlot = text;
      const char* capturedSlot = text;
      shipped.translator.ReplaceSubtitlePointer(&shippedSlot);
      lookups.ReplaceSubtitlePointer(&capturedSlot);
      // The two rigs' images hold the same bytes at the same offsets.
      EXPECT_EQ(std::string(capturedSlot), std::string(shippedSlot)) << c.text;
      EXPECT_EQ(capturedSlot == text, shippedSlot == text) << c.text;
    } else {
      const char* shown = lookups.ReplaceSubtitle(text, c.site);
      EXPECT_EQ(shown, captured.translator.ReplaceSubtitle(text)) << c.text;
    }
  }
  for (const Case& c : cases) {
    const CapturedText* found = nullptr;
    for (size_t i = 0; i < recorder.size(); ++i) {
      if (recorder.at(i).text() == c.text) found = &recorder.at(i);
    }
    ASSERT_NE(found, nullptr) << c.text;
    EXPECT_EQ(found->AnswerAt(c.site), c.answer) << c.text;
    EXPECT_EQ(found->PassesAt(c.site), 1u) << c.text;
  }

  // Null texts pass through unrecorded.
  const size_t recorded = recorder.size();
  const char* null = nullptr;
  lookups.ReplaceSubtitlePointer(&null);
  lookups.ReplaceSubtitlePointer(nullptr);
  EXPECT_EQ(lookups.ReplaceSubtitle(nullptr, CaptureSite::kExport), nullptr);
  EXPECT_EQ(recorder.size(), recorded);
  EXPECT_EQ(recorder.droppedPasses(), 0u);
}

TEST(CapturingLookups, ATableThatDoesNotLoadAnswersNone) {
  Rig rig(Image());
  rig.failLoads = true;
  CaptureRecorder recorder;
  CapturingLookups lookups(rig.translator, recorder);
  const char* slot = "Hello!";
  lookups.ReplaceSubtitlePointer(&slot);
  EXPECT_STREQ(lookups.ReplaceSubtitle("Hello", CaptureSite::kDialogue), "Hello");
  ASSERT_EQ(recorder.size(), 2u);
  EXPECT_EQ(recorder.at(0).AnswerAt(CaptureSite::kSubtitle), LookupAnswer::kNone);
  EXPECT_EQ(recorder.at(1).AnswerAt(CaptureSite::kDialogue), LookupAnswer::kNone);
}

}  // namespace
}  // namespace vykcn

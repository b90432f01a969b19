// The test build's recorder: distinct texts by their bytes, in the order first seen, with each
// site's passes and answer; its limits; passes from several threads at once.
#include "capture/capture_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

using A = LookupAnswer;
constexpr CaptureSite kSub = CaptureSite::kSubtitle, kDia = CaptureSite::kDialogue, kExp = CaptureSite::kExport;

LookupAnswer Given(void* answer) { return *static_cast<LookupAnswer*>(answer); }

void Pass(CaptureRecorder& recorder, const std::string& text, CaptureSite site, LookupAnswer answer = A::kNone) {
  recorder.Record(text.data(), text.size(), site, &Given, &answer);
}

std::vector<std::string> Texts(const CaptureRecorder& recorder) {
  std::vector<std::string> texts;
  for (size_t i = 0; i < recorder.size(); ++i) texts.emplace_back(recorder.at(i).text());
  return texts;
}

TEST(CaptureRecorder, DistinctTextsByTheirBytesWithEachSitesPassesAndFirstAnswer) {
  ASSERT_EQ(SubtitleHash("AB"), SubtitleHash("B\xBF"));  // 65 * 131 + 66 == 66 * 131 - 65
  const std::string nul("nul\0inside", 10);
  struct Case {
    std::string text;
    CaptureSite site;
    LookupAnswer answer;
    uint64_t revision;  // after the pass: it moves with each first pass of a text at a site
  };
  const Case passes[] = {
      {"Welcome home.", kSub, A::kOwn, 1},  {"Welcome home. ", kSub, A::kWithoutLast, 2},
      {"AB", kExp, A::kNone, 3},            {"B\xBF", kExp, A::kNone, 4},
      {"Welcome home. ", kSub, A::kNone, 4},  // a later answer is not asked for
      {"", kExp, A::kNone, 5},              {"Welcome home. ", kDia, A::kNone, 6},
      {nul, kExp, A::kNone, 7},             {"AB", kExp, A::kOwn, 7},
  };
  CaptureRecorder recorder;
  for (const Case& pass : passes) {
    Pass(recorder, pass.text, pass.site, pass.answer);
    EXPECT_EQ(recorder.revision(), pass.revision) << pass.text;
  }
  struct Expected {
    std::string text;
    uint32_t passes[kCaptureSiteCount];  // subtitle, dialogue, export
    LookupAnswer answers[kCaptureSiteCount];
  };
  const Expected expected[] = {
      {"Welcome home.", {1, 0, 0}, {A::kOwn, A::kNotSeen, A::kNotSeen}},
      {"Welcome home. ", {2, 1, 0}, {A::kWithoutLast, A::kNone, A::kNotSeen}},
      {"AB", {0, 0, 2}, {A::kNotSeen, A::kNotSeen, A::kNone}},
      {"B\xBF", {0, 0, 1}, {A::kNotSeen, A::kNotSeen, A::kNone}},
      {"", {0, 0, 1}, {A::kNotSeen, A::kNotSeen, A::kNone}},
      {nul, {0, 0, 1}, {A::kNotSeen, A::kNotSeen, A::kNone}},
  };
  ASSERT_EQ(recorder.size(), std::size(expected));
  for (size_t i = 0; i < recorder.size(); ++i) {
    const CapturedText& text = recorder.at(i);
    EXPECT_EQ(text.text(), expected[i].text) << i;
    EXPECT_EQ(text.hash, SubtitleHashBytes(text.data(), text.length)) << i;
    for (CaptureSite site : {kSub, kDia, kExp}) {
      const auto s = static_cast<size_t>(site);
      EXPECT_EQ(text.PassesAt(site), expected[i].passes[s]) << i << " site " << s;
      EXPECT_EQ(text.AnswerAt(site), expected[i].answers[s]) << i << " site " << s;
    }
  }
  EXPECT_EQ(recorder.droppedPasses(), 0u);
}

TEST(CaptureRecorder, PassesBeyondTheLimitsAreDroppedAndCounted) {
  struct Case {
    CaptureLimits limits;
    std::vector<std::string> passes;
    std::vector<std::string> recorded;
    uint64_t dropped;
  };
  const Case cases[] = {
      {{2, 100}, {"one", "two", "three", "one", "three", "four"}, {"one", "two"}, 3},
      {{10, 8}, {"12345", "678", "9", "678", "12"}, {"12345", "678"}, 2},  // 8 bytes taken, none left
      {{10, 8}, {"123456789", "12345678", "x"}, {"12345678"}, 2},
      {{10, 0}, {"", "", "a"}, {""}, 1},
  };
  for (const Case& c : cases) {
    CaptureRecorder recorder(c.limits);
    for (const std::string& text : c.passes) Pass(recorder, text, kSub);
    EXPECT_EQ(Texts(recorder), c.recorded) << c.passes[0];
    EXPECT_EQ(recorder.droppedPasses(), c.dropped) << c.passes[0];
    EXPECT_EQ(recorder.revision(), c.recorded.size() + 1) << c.passes[0];  // and the first drop alone
  }
}

TEST(CaptureRecorder, PassesFromSeveralThreadsAreEachCountedOnce) {
  std::vector<std::string> texts;  // as many as the limit: the slots are crowded
  for (int i = 0; i < 400; ++i) texts.push_back("line " + std::to_string(i * 7919 % 400) + (i % 3 ? " " : "\n"));
  CaptureRecorder recorder({400, 1 << 16});
  constexpr int kRounds = 25;
  constexpr size_t kStrides[] = {1, 3, 7, 9};  // prime to 400: each thread passes them all, in its own order
  std::vector<std::thread> threads;
  for (size_t t = 0; t < std::size(kStrides); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < texts.size(); ++i) Pass(recorder, texts[(i * kStrides[t] + round) % 400], t % 2 ? kDia : kSub);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<std::string> recorded = Texts(recorder), sorted = texts;
  std::sort(recorded.begin(), recorded.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(recorded, sorted);
  for (size_t i = 0; i < recorder.size(); ++i) {
    EXPECT_EQ(recorder.at(i).PassesAt(kSub), 2u * kRounds) << i;
    EXPECT_EQ(recorder.at(i).PassesAt(kDia), 2u * kRounds) << i;
  }
  EXPECT_EQ(recorder.revision(), 2 * texts.size());
  EXPECT_EQ(recorder.droppedPasses(), 0u);
}

}  // namespace
}  // namespace vykcn

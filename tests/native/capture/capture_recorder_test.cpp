// The capture build's recorder: distinct texts by their bytes, in the order first seen, with the
// passes and answers of each site; its limits; and passes from several threads at once.
#include "capture/capture_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

struct Classifier {
  LookupAnswer answer;
  int calls = 0;
};

LookupAnswer Classify(void* context) {
  auto* classifier = static_cast<Classifier*>(context);
  ++classifier->calls;
  return classifier->answer;
}

void Pass(CaptureRecorder& recorder, const std::string& text, CaptureSite site, Classifier* classifier) {
  recorder.Record(text.data(), text.size(), site, &Classify, classifier);
}

TEST(CaptureRecorder, DistinctTextsByTheirBytesInTheOrderFirstSeen) {
  // "AB" and "B\xBF" share a subtitle hash: 65 * 131 + 66 == 66 * 131 - 65.
  ASSERT_EQ(SubtitleHash("AB"), SubtitleHash("B\xBF"));
  struct Case {
    std::string text;
    CaptureSite site;
    LookupAnswer answer;  // what the site says, asked or not
  };
  const Case passes[] = {
      {"Welcome home.", CaptureSite::kSubtitle, LookupAnswer::kOwn},
      {"Welcome home. ", CaptureSite::kSubtitle, LookupAnswer::kWithoutLast},
      {"AB", CaptureSite::kExport, LookupAnswer::kNone},
      {"B\xBF", CaptureSite::kExport, LookupAnswer::kNone},
      {"Welcome home. ", CaptureSite::kSubtitle, LookupAnswer::kNone},  // not asked again
      {"", CaptureSite::kExport, LookupAnswer::kNone},
      {"Welcome home. ", CaptureSite::kDialogue, LookupAnswer::kNone},
      {std::string("nul\0inside", 10), CaptureSite::kExport, LookupAnswer::kNone},
      {"AB", CaptureSite::kExport, LookupAnswer::kOwn},
  };
  struct Expected {
    std::string text;
    uint32_t passes[kCaptureSiteCount];  // subtitle, dialogue, export
    LookupAnswer answers[kCaptureSiteCount];
  };
  constexpr LookupAnswer kNotSeen = LookupAnswer::kNotSeen;
  const Expected expected[] = {
      {"Welcome home.", {1, 0, 0}, {LookupAnswer::kOwn, kNotSeen, kNotSeen}},
      {"Welcome home. ", {2, 1, 0}, {LookupAnswer::kWithoutLast, LookupAnswer::kNone, kNotSeen}},
      {"AB", {0, 0, 2}, {kNotSeen, kNotSeen, LookupAnswer::kNone}},
      {"B\xBF", {0, 0, 1}, {kNotSeen, kNotSeen, LookupAnswer::kNone}},
      {"", {0, 0, 1}, {kNotSeen, kNotSeen, LookupAnswer::kNone}},
      {std::string("nul\0inside", 10), {0, 0, 1}, {kNotSeen, kNotSeen, LookupAnswer::kNone}},
  };

  CaptureRecorder recorder;
  std::vector<uint64_t> revisions{recorder.revision()};
  int asked = 0;
  for (const Case& pass : passes) {
    Classifier classifier{pass.answer};
    Pass(recorder, pass.text, pass.site, &classifier);
    asked += classifier.calls;
    revisions.push_back(recorder.revision());
  }
  EXPECT_EQ(asked, 7);  // once per text and site
  // The revision moves with every first pass at a site, and only then.
  EXPECT_EQ(revisions, (std::vector<uint64_t>{0, 1, 2, 3, 4, 4, 5, 6, 7, 7}));
  ASSERT_EQ(recorder.size(), std::size(expected));
  for (size_t i = 0; i < recorder.size(); ++i) {
    const CapturedText& text = recorder.at(i);
    EXPECT_EQ(text.text(), expected[i].text) << i;
    EXPECT_EQ(text.hash, SubtitleHashBytes(text.data(), text.length));
    for (size_t s = 0; s < kCaptureSiteCount; ++s) {
      EXPECT_EQ(text.PassesAt(static_cast<CaptureSite>(s)), expected[i].passes[s]) << i << " site " << s;
      EXPECT_EQ(text.AnswerAt(static_cast<CaptureSite>(s)), expected[i].answers[s]) << i << " site " << s;
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
      {{10, 8}, {"12345", "678", "9", "678", "12"}, {"12345", "678"}, 2},  // bytes: 8 used, none left
      {{10, 8}, {"123456789", "12345678", "x"}, {"12345678"}, 2},           // a text longer than all
      {{10, 0}, {"", "", "a"}, {""}, 1},
  };
  for (const Case& c : cases) {
    CaptureRecorder recorder(c.limits);
    std::vector<uint64_t> revisions;
    for (const std::string& text : c.passes) {
      Classifier classifier{LookupAnswer::kNone};
      Pass(recorder, text, CaptureSite::kSubtitle, &classifier);
    }
    std::vector<std::string> recorded;
    for (size_t i = 0; i < recorder.size(); ++i) recorded.emplace_back(recorder.at(i).text());
    EXPECT_EQ(recorded, c.recorded) << c.passes[0];
    EXPECT_EQ(recorder.droppedPasses(), c.dropped) << c.passes[0];
    // Each recorded text's first pass, and the first drop alone of all the drops.
    EXPECT_EQ(recorder.revision(), c.recorded.size() + 1) << c.passes[0];
  }
}

TEST(CaptureRecorder, PassesFromSeveralThreadsAreEachCountedOnce) {
  // Few slots for the texts (limits.texts), so that probes cross each other's entries.
  std::vector<std::string> texts;
  for (int i = 0; i < 400; ++i) texts.push_back("line " + std::to_string(i * 7919 % 400) + (i % 3 ? " " : "\n"));
  CaptureRecorder recorder({400, 1 << 16});
  constexpr int kThreads = 4, kRounds = 25;
  constexpr size_t kStrides[kThreads] = {1, 3, 7, 9};  // prime to 400: each thread its own order of all
  std::vector<std::thread> threads;
  std::atomic<int> asked{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const auto site = static_cast<CaptureSite>(t % 2);
      for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < texts.size(); ++i) {
          const std::string& text = texts[(i * kStrides[t] + round) % texts.size()];
          recorder.Record(text.data(), text.size(), site,
                          [](void* context) {
                            ++*static_cast<std::atomic<int>*>(context);
                            return LookupAnswer::kNone;
                          },
                          &asked);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_EQ(recorder.size(), texts.size());
  std::vector<std::string> seen;
  for (size_t i = 0; i < recorder.size(); ++i) {
    const CapturedText& text = recorder.at(i);
    seen.emplace_back(text.text());
    EXPECT_EQ(text.PassesAt(CaptureSite::kSubtitle), 2u * kRounds) << i;
    EXPECT_EQ(text.PassesAt(CaptureSite::kDialogue), 2u * kRounds) << i;
  }
  std::sort(seen.begin(), seen.end());
  std::vector<std::string> sorted = texts;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(seen, sorted);
  EXPECT_GE(asked.load(), 2 * static_cast<int>(texts.size()));  // two threads may both ask, once each
  EXPECT_LE(asked.load(), kThreads * static_cast<int>(texts.size()));
  EXPECT_EQ(recorder.revision(), 2 * texts.size());
  EXPECT_EQ(recorder.droppedPasses(), 0u);
}

}  // namespace
}  // namespace vykcn

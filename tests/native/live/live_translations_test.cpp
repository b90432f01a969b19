// The test build's live translations: what a reload shares, copies and counts; files that leave the
// table in use; the memory cap; replaced indexes freed only once no lookup call can hold them.
#include "live/live_translations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "common/translation_packing.h"
#include "translation/image_builder.h"
#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::vector<uint8_t> Resource(const Pairs& pairs) {
  return tool::PackTranslationResource(test::BuildImageFromTexts(pairs));
}

const char* Find(const LiveTranslations& live, const char* host) { return live.current()->lookup(SubtitleHash(host)); }

TEST(LiveTranslations, AReloadSharesUnchangedTextsCopiesTheOthersAndKeepsEveryTextHandedOut) {
  LiveTranslations live(1000);
  const std::vector<uint8_t> embedded = Resource({{"A", "一"}, {"B", "二"}, {"C", "三"}});
  ASSERT_TRUE(live.LoadEmbedded(embedded.data(), embedded.size()).published);
  const char* a = Find(live, "A");
  const char* b = Find(live, "B");

  // Of equal hashes the last record wins, as in the shipped table.
  const std::vector<uint8_t> file = Resource({{"A", "一"}, {"B", "贰"}, {"D", "x"}, {"D", "四"}});
  const ReloadOutcome outcome = live.Reload(file.data(), file.size());
  EXPECT_TRUE(outcome.published);
  EXPECT_EQ(outcome.records, 3u);
  EXPECT_EQ(outcome.unchanged, 1u);
  EXPECT_EQ(outcome.changed, 1u);
  EXPECT_EQ(outcome.added, 1u);
  EXPECT_EQ(outcome.removed, 1u);
  EXPECT_EQ(Find(live, "A"), a);
  EXPECT_STREQ(Find(live, "B"), "贰");
  EXPECT_STREQ(Find(live, "D"), "四");
  EXPECT_EQ(Find(live, "C"), nullptr);
  EXPECT_STREQ(b, "二");
  EXPECT_EQ(live.store().used(), std::strlen("贰") + 1 + std::strlen("四") + 1);

  // The same file again publishes nothing and copies nothing.
  const ReloadOutcome same = live.Reload(file.data(), file.size());
  EXPECT_EQ(same.status, LoadStatus::kLoaded);
  EXPECT_FALSE(same.published);
  EXPECT_EQ(live.store().used(), outcome.copiedBytes);

  // Changed texts past the cap: refused, and nothing is taken.
  const std::vector<uint8_t> large = Resource({{"A", std::string(2000, 'z')}});
  const LiveIndex* before = live.current();
  const ReloadOutcome capped = live.Reload(large.data(), large.size());
  EXPECT_TRUE(capped.overCap);
  EXPECT_FALSE(capped.published);
  EXPECT_EQ(live.current(), before);
  EXPECT_EQ(live.store().used(), outcome.copiedBytes);
}

TEST(LiveTranslations, AFileThatDoesNotDecodeLeavesTheTableInUse) {
  LiveTranslations live;
  const std::vector<uint8_t> good = Resource({{"A", "一"}, {"B", std::string(3000, 'b')}});
  ASSERT_TRUE(live.Reload(good.data(), good.size()).published);
  const LiveIndex* inUse = live.current();
  ASSERT_GT(good.size(), 40u);
  std::vector<uint8_t> corrupt = good;
  std::fill(corrupt.begin() + 12, corrupt.begin() + 40, uint8_t{0xA5});
  std::vector<uint8_t> larger = good, smaller = good;
  larger[0] += 1;
  smaller[0] -= 1;
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    LoadStatus status;
  } cases[] = {
      {"empty", {}, LoadStatus::kShortResource},
      {"cut in its size header", {good.begin(), good.begin() + 3}, LoadStatus::kShortResource},
      {"cut in half", {good.begin(), good.begin() + good.size() / 2}, LoadStatus::kDecodeFailed},
      {"corrupt stream", corrupt, LoadStatus::kSizeMismatch},
      {"size header too large", larger, LoadStatus::kDecodeFailed},
      {"size header too small", smaller, LoadStatus::kDecodeFailed},
      {"a bad image", Resource({}), LoadStatus::kMalformedImage},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = c.bytes;
    if (c.status == LoadStatus::kMalformedImage) {
      // An image that counts a record it does not hold, compressed as pack-text would.
      bytes = tool::PackTranslationResource(test::BuildImage({}, 1));
    }
    const ReloadOutcome outcome = live.Reload(bytes.data(), bytes.size());
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_FALSE(outcome.published) << c.what;
    EXPECT_EQ(live.current(), inUse) << c.what;
  }
  EXPECT_STREQ(Find(live, "A"), "一");
}

TEST(LiveTranslations, AReplacedIndexIsFreedOnlyOnceNoLookupCallCanHoldIt) {
  LiveTranslations live;
  const std::vector<uint8_t> first = Resource({{"A", "一"}}), second = Resource({{"A", "壹"}});
  live.Reload(first.data(), first.size());
  {
    LiveTranslations::Reader reader(live);
    live.Reload(second.data(), second.size());
    for (int round = 0; round < 3; ++round) live.Reclaim();
    EXPECT_EQ(live.waitingIndexes(), 1u);
    EXPECT_STREQ(reader.index()->lookup(SubtitleHash("A")), "一");
  }
  live.Reclaim();
  EXPECT_EQ(live.waitingIndexes(), 0u);

  // Lookups on other threads while indexes are replaced and freed: every answer is one of the
  // files' (under AddressSanitizer, a lookup in a freed index fails the test).
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&] {
      while (!stop.load()) {
        LiveTranslations::Reader reader(live);
        const char* text = reader.index()->lookup(SubtitleHash("A"));
        if (std::strcmp(text, "一") != 0 && std::strcmp(text, "壹") != 0) ++wrong;
      }
    });
  }
  for (int round = 0; round < 300; ++round) {
    const std::vector<uint8_t>& next = round % 2 == 0 ? first : second;
    live.Reload(next.data(), next.size());
    live.Reclaim();
  }
  stop = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vykcn

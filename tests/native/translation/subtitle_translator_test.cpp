#include "translation/subtitle_translator.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "translation/image_builder.h"
#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

// A translator over an in-memory image; counts loads and can be made to fail them.
struct TranslatorRig final : TableLoader {
  explicit TranslatorRig(std::vector<uint8_t> image) : image(std::move(image)) {}
  LoadStatus LoadTranslationTable() noexcept override {
    ++loads;
    if (failLoads) return LoadStatus::kNoResource;
    return table.FillFromImage(image.data(), image.size());
  }
  std::vector<uint8_t> image;
  TranslationTable table;
  std::atomic<int> loads{0};
  bool failLoads = false;
  SubtitleTranslator translator{table, *this};
};

TEST(ReplaceSubtitle, HitMissAndNull) {
  TranslatorRig rig(test::BuildImageFromTexts({{"Hello", "你好"}, {"Same", "Same"}}));
  const char* hello = "Hello";
  EXPECT_STREQ(rig.translator.ReplaceSubtitle(hello), "你好");
  const char* unknown = "Unknown";
  EXPECT_EQ(rig.translator.ReplaceSubtitle(unknown), unknown);  // the very same pointer
  const char* same = "Same";
  const char* stored = rig.translator.ReplaceSubtitle(same);
  EXPECT_NE(stored, same);  // equal bytes, but inside the image
  EXPECT_STREQ(stored, "Same");
  EXPECT_EQ(rig.translator.ReplaceSubtitle(nullptr), nullptr);
  EXPECT_EQ(rig.loads, 1);
}

TEST(ReplaceSubtitle, NullStartsTheLoadAndEmptyTablesLoadAgain) {
  TranslatorRig rig(test::BuildImageFromTexts({{"Hello", "你好"}}));
  rig.failLoads = true;
  EXPECT_EQ(rig.translator.ReplaceSubtitle(nullptr), nullptr);
  const char* hello = "Hello";
  EXPECT_EQ(rig.translator.ReplaceSubtitle(hello), hello);
  EXPECT_EQ(rig.loads, 2);
  rig.failLoads = false;
  EXPECT_STREQ(rig.translator.ReplaceSubtitle(hello), "你好");
  EXPECT_STREQ(rig.translator.ReplaceSubtitle(hello), "你好");
  EXPECT_EQ(rig.loads, 3);

  TranslatorRig empty(test::BuildImageFromTexts({}));  // zero records: every call loads again
  empty.translator.ReplaceSubtitle("a");
  empty.translator.ReplaceSubtitle("b");
  EXPECT_EQ(empty.loads, 2);
}

// Runs ReplaceSubtitlePointer on `text` and returns what the slot then holds; the traced swap must
// leave the same.
std::string Swap(TranslatorRig& rig, const char* text) {
  const char* slot = text;
  rig.translator.ReplaceSubtitlePointer(&slot);
  const char* traced = text;
  SubtitleSiteTrace trace;
  rig.translator.TraceSubtitlePointer(&traced, &trace);
  EXPECT_EQ(traced, slot) << text;
  return slot == text ? std::string("<unchanged>") : std::string(slot);
}

// The traced swap's lookups, "BYTES=FOUND" each (FOUND empty for none), joined by " | ".
std::string Lookups(TranslatorRig& rig, const char* text) {
  SubtitleSiteTrace trace;
  rig.translator.TraceSubtitlePointer(&text, &trace);
  std::string said;
  for (int i = 0; i < trace.count; ++i) {
    const SubtitleLookup& lookup = trace.lookups[i];
    EXPECT_EQ(lookup.hash, SubtitleHashBytes(lookup.bytes, lookup.length));
    said += (i > 0 ? " | " : "") + std::string(lookup.bytes, lookup.length) + "=" + (lookup.found ? lookup.found : "");
  }
  return said;
}

TEST(ReplaceSubtitlePointer, WholeTextShortTextsAndTheEmptyText) {
  TranslatorRig rig(test::BuildImageFromTexts({{"Hello", "你好"}, {"ab", "AB"}, {"", "<empty>"}}));
  EXPECT_EQ(Swap(rig, "Hello"), "你好");
  EXPECT_EQ(Swap(rig, "abc"), "<unchanged>");  // 3 bytes: no fallback, though "ab" is a key
  EXPECT_EQ(Swap(rig, ""), "<empty>");
  TranslatorRig noEmpty(test::BuildImageFromTexts({{"x", "y"}}));
  EXPECT_EQ(Swap(noEmpty, ""), "<unchanged>");
}

TEST(ReplaceSubtitlePointer, PrefixFallbackOrder) {
  // Minus one byte hits.
  TranslatorRig one(test::BuildImageFromTexts({{"abc", "ONE"}}));
  EXPECT_EQ(Swap(one, "abcd"), "ONE");
  // Minus two bytes hits when minus one misses.
  TranslatorRig two(test::BuildImageFromTexts({{"Hell", "TWO"}}));
  EXPECT_EQ(Swap(two, "Hello!"), "TWO");
  // Both would hit: the minus-one translation is stored, and the second pass hashes that
  // translation without its last two bytes instead of the host text.
  TranslatorRig both(test::BuildImageFromTexts({{"Hello", "FIRST"}, {"Hell", "SECOND"}}));
  EXPECT_EQ(Swap(both, "Hello!"), "FIRST");
  TranslatorRig chain(test::BuildImageFromTexts({{"Hello", "XYZ12"}, {"XYZ", "CHAINED"}}));
  EXPECT_EQ(Swap(chain, "Hello!"), "CHAINED");
  EXPECT_EQ(Lookups(chain, "Hello!"), "Hello!= | Hello=XYZ12 | XYZ=CHAINED");
  EXPECT_EQ(Lookups(two, "Hello!"), "Hello!= | Hello= | Hell=TWO");
  EXPECT_EQ(Lookups(one, "zzz"), "zzz=");  // 3 bytes: the whole text alone
  // A translation of 2 bytes or fewer is hashed whole in the second pass.
  TranslatorRig shortChain(test::BuildImageFromTexts({{"Hello", "XY"}, {"XY", "WHOLE"}, {"", "EMPTY"}}));
  EXPECT_EQ(Swap(shortChain, "Hello!"), "WHOLE");
  // Neither hits.
  EXPECT_EQ(Swap(one, "zzzz"), "<unchanged>");
}

TEST(ReplaceSubtitlePointer, ShorteningCountsBytesNotCharacters) {
  // "中" is 3 bytes; dropping one byte cuts it in the middle.
  const std::string text = "ab\xE4\xB8\xAD";
  TranslatorRig rig(test::BuildImageFromTexts({{"ab\xE4\xB8", "CUT"}}));
  EXPECT_EQ(Swap(rig, text.c_str()), "CUT");
}

TEST(ReplaceSubtitlePointer, NullSlotOrTextIsLeftAlone) {
  TranslatorRig rig(test::BuildImageFromTexts({{"", "<empty>"}}));
  rig.translator.ReplaceSubtitlePointer(nullptr);
  const char* slot = nullptr;
  rig.translator.ReplaceSubtitlePointer(&slot);
  EXPECT_EQ(slot, nullptr);
}

TEST(SubtitleTranslator, ConcurrentFirstLookupsLoadOnce) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 2000; ++i) pairs.emplace_back("text " + std::to_string(i), "译文 " + std::to_string(i));
  TranslatorRig rig(test::BuildImageFromTexts(pairs));
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = t; i < 2000; i += 8) {
        const std::string host = "text " + std::to_string(i);
        if (std::string(rig.translator.ReplaceSubtitle(host.c_str())) != "译文 " + std::to_string(i)) ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(rig.loads, 1);
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vykcn

// vykcn-live/keys.txt: the keys it sets, the lines it leaves out and says so, and the defaults kept
// when two actions would share a key.
#include "live/key_bindings.h"

#include <gtest/gtest.h>

namespace vykcn {
namespace {

TEST(KeyBindings, KeysTxtSetsTheKeysItCanReadAndNamesEveryLineItLeavesOut) {
  const struct {
    const char* text;
    const char* original;
    const char* hashPrefix;
    const char* reload;
    std::vector<std::string> problems;
  } cases[] = {
      {"", "Ctrl+F9", "Ctrl+F10", "Ctrl+F11", {}},
      {"# comment\n\n  ORIGINAL = ctrl+f5 \r\nreload=Alt+Shift+Pause\nhash-prefix=num7\n", "Ctrl+F5", "Num7",
       "Alt+Shift+Pause", {}},
      {"original=Ctrl+F5\noriginal=Ctrl+Q\n", "Ctrl+Q", "Ctrl+F10", "Ctrl+F11", {}},  // a later line wins
      {"toggle=F5\noriginal\nreload=Ctrl+F25\nhash-prefix=Meta+X\noriginal=Ctrl+\n", "Ctrl+F9", "Ctrl+F10",
       "Ctrl+F11",
       {"keys.txt:1: not 'original=KEY', 'hash-prefix=KEY' or 'reload=KEY': toggle=F5",
        "keys.txt:2: not 'original=KEY', 'hash-prefix=KEY' or 'reload=KEY': original", "keys.txt:3: no such key: Ctrl+F25",
        "keys.txt:4: no such key: Meta+X", "keys.txt:5: no such key: Ctrl+"}},
      {"original=F2\nhash-prefix=ctrl+f11\n", "Ctrl+F9", "Ctrl+F10", "Ctrl+F11",
       {"keys.txt: hash-prefix and reload are both Ctrl+F11: the default keys stay"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> problems;
    const KeyBindings keys = ReadKeyBindings(c.text, &problems);
    EXPECT_EQ(DescribeChord(keys.chords[0]), c.original) << c.text;
    EXPECT_EQ(DescribeChord(keys.chords[1]), c.hashPrefix) << c.text;
    EXPECT_EQ(DescribeChord(keys.chords[2]), c.reload) << c.text;
    ASSERT_EQ(problems.size(), c.problems.size()) << c.text;
    for (size_t i = 0; i < problems.size(); ++i) EXPECT_EQ(problems[i].substr(0, c.problems[i].size()), c.problems[i]);
  }
}

}  // namespace
}  // namespace vykcn

// Placeholders a translation must keep: printf directives, brace fields and markup tags.
#include <gtest/gtest.h>

#include "checks/placeholders.h"

namespace vykcn::test {
namespace {

TEST(Placeholders, SameSetInAnyOrderOrAWarning) {
  const struct {
    const char* host;
    const char* translation;
    bool printf;
    const char* difference;  // "" when the translation keeps them all
  } cases[] = {
      {"Saved %s in %d s", "%d s \xE5\x86\x85\xE4\xBF\x9D\xE5\xAD\x98 %s", true, "%s %d missing, %d %s added"},  // order moves arguments
      {"Saved %s in %d s", "%2$d s \xE5\x86\x85\xE4\xBF\x9D\xE5\xAD\x98 %1$s", true, ""},           // positions keep them
      {"%-5.*s|%lu", "%lu|%-5.*s", true, "%-5.*s %lu missing, %lu %-5.*s added"},
      {"%.*s and %%", "%.*s \xE5\x92\x8C %%", true, ""},
      {"100% done", "\xE5\xAE\x8C\xE6\x88\x90 100%", true, ""},  // "% d" is prose, not a directive
      {"%i items", "%d \xE9\xA1\xB9", true, ""},                 // %i and %d are one conversion
      {"Open %s", "\xE6\x89\x93\xE5\xBC\x80", true, "%s missing"},
      {"Open %s", "\xE6\x89\x93\xE5\xBC\x80", false, ""},        // not a printf text
      {"Hello {name}, {0}", "{0}\xEF\xBC\x8C\xE4\xBD\xA0\xE5\xA5\xBD {name}", true, ""},
      {"Hello {name}", "\xE4\xBD\xA0\xE5\xA5\xBD {nom}", true, "{name} missing, {nom} added"},
      {"Total {0:N2}", "\xE5\x90\x88\xE8\xAE\xA1 {0:F1}", true, ""},
      {"{{literal}}", "\xE5\xAD\x97", true, ""},
      {"<b>Bold</b><br/>", "<B>\xE7\xB2\x97</B><br/>", true, ""},
      {"<color=#ff0000>Red</color>", "\xE7\xBA\xA2</color>", true, "<color=#ff0000> missing"},
      {"<i>x</i>", "<i>\xE6\x96\x9C<i>", true, "</i> missing, <i> added"},
      {"a < b > c", "a < b > c", true, ""},  // not tags
      {"<font size=\"2\" face=x>A</font>", "<font size=\"2\" face=x>\xE7\x94\xB2</font>", true, ""},
      {"Read <standard input>", "\xE8\xAF\xBB<\xE6\xA0\x87\xE5\x87\x86\xE8\xBE\x93\xE5\x85\xA5>", true, ""},  // prose
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tool::PlaceholderDifference(c.host, c.translation, c.printf), c.difference)
        << c.host << " -> " << c.translation;
  }
}

}  // namespace
}  // namespace vykcn::test

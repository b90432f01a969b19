// Placeholders a translation must keep, of every syntax of the table: printf directives, brace
// fields, $names, %names%, markup tags and entities.
#include <gtest/gtest.h>

#include "checks/placeholders.h"

namespace vykcn::test {
namespace {

TEST(Placeholders, SameSetInAnyOrderOrAWarning) {
  const struct {
    const char* host;
    const char* translation;
    bool printf;
    const char* difference;  // "" when the translation keeps them all; else each class's difference
  } cases[] = {
      {"Saved %s in %d s", "%d s \xE5\x86\x85\xE4\xBF\x9D\xE5\xAD\x98 %s", true,
       "order: \"%s %d\" in the host text, \"%d %s\" here"},                                          // would swap them
      {"Saved %s in %d s", "%2$d s \xE5\x86\x85\xE4\xBF\x9D\xE5\xAD\x98 %1$s", true, ""},           // positions keep them
      {"%-5.*s|%lu", "%lu|%-5.*s", true, "order: \"%-5.*s %lu\" in the host text, \"%lu %-5.*s\" here"},
      {"%s of %d", "%d", true, "placeholder: %s %d missing, %d added"},  // another set: no order to speak of
      {"%.*s and %%", "%.*s \xE5\x92\x8C %%", true, ""},
      {"100% done", "\xE5\xAE\x8C\xE6\x88\x90 100%", true, ""},  // "% d" is prose, not a directive
      {"%i items", "%d \xE9\xA1\xB9", true, ""},                 // %i and %d are one conversion
      {"Open %s", "\xE6\x89\x93\xE5\xBC\x80", true, "placeholder: %s missing"},
      {"Open %s", "\xE6\x89\x93\xE5\xBC\x80", false, ""},        // not a printf text
      {"Hello {name}, {0}", "{0}\xEF\xBC\x8C\xE4\xBD\xA0\xE5\xA5\xBD {name}", true, ""},
      {"Hello {name}", "\xE4\xBD\xA0\xE5\xA5\xBD {nom}", true, "placeholder: {name} missing, {nom} added"},
      {"Total {0:N2}", "\xE5\x90\x88\xE8\xAE\xA1 {0:F1}", true, ""},
      {"{{literal}}", "\xE5\xAD\x97", true, ""},
      {"{{0}} of {1}", "{1}", true, ""},   // "{{" starts no field, "{1}" still one
      {"%%d left: %s", "%s", true, ""},    // "%%" then a letter is no directive
      {"Hello $name, welcome to $place.", "\xE6\xAC\xA2\xE8\xBF\x8E\xE3\x80\x82", true, "placeholder: $name $place missing"},
      {"Hi $name, to $place.", "$place\xEF\xBC\x8C$name|\xE4\xBD\xA0\xE5\xA5\xBD", true, ""},  // '|' ends a name, '.' a sentence
      {"$player_$side_number|", "$player_side_number|", true, "placeholder: $player_ $side_number| missing, "
                                                              "$player_side_number| added"},  // two names
      {"[$tag] $a[0].id", "[$tag|] $a[0].id|", true, ""},
      {"%count% left", "\xE5\x89\xA9 %c", true, "placeholder: %count% missing, %c added"},  // no "%c" and prose
      {"%ld%% of %total%", "%total% \xE7\x9A\x84 %ld%%", true, ""},
      {"<b>Bold</b><br/>", "<B>\xE7\xB2\x97</B><br/>", true, ""},
      {"<color=#ff0000>Red</color>", "\xE7\xBA\xA2</color>", true, "markup: <color=#ff0000> missing"},
      {"<i>x</i>", "<i>\xE6\x96\x9C<i>", true, "markup: </i> missing, <i> added"},
      {"a < b > c", "a < b > c", true, ""},  // not tags
      {"<font size=\"2\" face=x>A</font>", "<font face=x size=\"2\">\xE7\x94\xB2</font>", true, ""},
      {"<font size=\"2\">A</font>", "<font>\xE7\x94\xB2</font>", true, "markup: <font size=\"2\"> missing, <font> added"},
      {"Read <standard input>", "\xE8\xAF\xBB<\xE6\xA0\x87\xE5\x87\x86\xE8\xBE\x93\xE5\x85\xA5>", true, ""},  // prose
      {"<ref>dst='unit_Mage' text='Mage'</ref>", "<ref>text='\xE6\xB3\x95\xE5\xB8\x88' dst=unit_Mage</ref>", true, ""},
      {"<italic>text='Strong'</italic> $n", "<bold>text='\xE5\xBC\xBA'</bold> $n", true,
       "markup: </italic> <italic>text='Strong' missing, </bold> <bold>text='\xE5\xBC\xBA' added"},  // restyled
      {"<span color='$color'>$name</span>", "<span color='red'>$name</span>", true, "placeholder: $color missing"},
      {"<a href=$url>Go</a>", "<a href=x>\xE5\x8E\xBB</a>", true, "placeholder: $url missing"},  // at the tag's end
      {"A &amp; B &#160;", "\xE7\x94\xB2\xE5\x92\x8C\xE4\xB9\x99 &#160;", true, "markup: &amp; missing"},
  };
  for (const auto& c : cases) {
    const tool::PlaceholderComparison found = tool::ComparePlaceholders(c.host, c.translation, c.printf);
    std::string difference;
    for (const auto& [name, part] : {std::pair{"placeholder: ", found.variables}, {"markup: ", found.markup},
                                     {"order: ", found.printfOrder}}) {
      if (!part.empty()) difference += (difference.empty() ? "" : "; ") + std::string(name) + part;
    }
    EXPECT_EQ(difference, c.difference) << c.host << " -> " << c.translation;
  }
}

}  // namespace
}  // namespace vykcn::test

#pragma once
// The parts of a game's text that a program fills in or a renderer reads, and that a translation
// must keep whole: one table of the syntaxes games write, which the checks compare between a host
// text and its translation and the line breaker never breaks inside.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vykcn::tool {

// The syntaxes, in the order they are tried at each place of a text: the first that matches wins.
enum class PlaceholderSyntax {
  kPrintf,   // %d, %-5.2f, %.*s, %1$s ("%%" is a percent sign)
  kBrace,    // {0}, {name}, {0:N2}, {1,-8} ("{{" is a brace)
  kDollar,   // $name, $unit.name|, $array[0].id
  kPercent,  // %name%, %count%
  kTag,      // <b>, </b>, <br/>, <color=#f00>, <span color='red'>, <ref>dst='unit_Mage' text='Mage'
  kEntity,   // &amp;, &#160;, &#xA0;
};

// Variables (printf, brace, dollar, percent) are what the program fills in; tags and entities
// are markup, read by the renderer.
bool IsVariable(PlaceholderSyntax syntax);

struct Placeholder {
  PlaceholderSyntax syntax;
  size_t begin = 0;  // byte offset in the text
  std::string text;  // as written
  // What a translation must match, so that it may restyle or move a placeholder but not lose it:
  // a printf directive's argument and conversion ("2$d", the argument counted when it has no
  // position), a field's or variable's name ("{0}", "$name" without its closing "|"), a tag's
  // name and attribute names ("<span color>", "</b>"), an entity as written.
  std::string key;
};

// Every placeholder of `text`, in text order. The variables inside a tag's attribute values
// ($color in <span color='$color'>) come right after their tag, and lie within it.
std::vector<Placeholder> FindPlaceholders(std::string_view text);

// Whether some byte of `text` could start a placeholder: false says FindPlaceholders finds none.
bool MayHoldPlaceholders(std::string_view text);

// The text with its placeholders and tags cut out, each leaving a space (a variable inside a
// tag's attribute goes with its tag): what a reader reads as words.
std::string WithoutPlaceholders(std::string_view text);

}  // namespace vykcn::tool

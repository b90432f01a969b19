// A PO string's escapes, in the toolkit's style and the capture catalogue's: one writer, two styles.
#include "formats/po_string.h"

#include <gtest/gtest.h>

#include <string>

namespace vykcn {
namespace {

class StringSink final : public PoStringSink {
 public:
  void Append(const char* data, size_t size) override { text.append(data, size); }
  std::string text;
};

std::string Written(std::string_view bytes, const PoStringStyle& style) {
  StringSink sink;
  WritePoString(bytes, style, sink);
  return sink.text;
}

TEST(PoString, EachStyleEscapesWhatItsReadersNeed) {
  struct Case {
    std::string bytes;
    std::string gettext;  // kGettextPoStyle
    std::string capture;  // kCapturePoStyle
  };
  const Case cases[] = {
      {"", "", ""},
      {"plain ASCII ~", "plain ASCII ~", "plain ASCII ~"},
      {"\"q\" \\ tab\t", "\\\"q\\\" \\\\ tab\\t", "\\\"q\\\" \\\\ tab\\t"},
      {"a\nb\n", "a\\nb\\n", "a\\n\"\n\"b\\n"},  // an inner line feed starts the capture's next line
      {"\a\b\f\r\v", "\\a\\b\\f\\r\\v", "\\007\\010\\014\\015\\013"},
      {std::string("nul\0del\x7F", 8), "nul\\000del\\177", "nul\\000del\\177"},
      {"你好", "你好", "你好"},
      {"\xC2\x85|\xE2\x80\xA8|\xEF\xBB\xBF", "\xC2\x85|\xE2\x80\xA8|\xEF\xBB\xBF",
       "\\302\\205|\\342\\200\\250|\\357\\273\\277"},               // invisible: the capture's octal
      {"Caf\xE9 \xC0\xAF", "Caf\\351 \\300\\257", "Caf\\351 \\300\\257"},  // not UTF-8, overlong
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written(c.bytes, kGettextPoStyle), c.gettext) << c.gettext;
    EXPECT_EQ(Written(c.bytes, kCapturePoStyle), c.capture) << c.capture;
  }
}

}  // namespace
}  // namespace vykcn

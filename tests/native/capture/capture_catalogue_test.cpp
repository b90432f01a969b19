// vykcn-capture.po: the untranslated texts, escaped so that the toolkit's PO reader (libgettextpo)
// and msgfmt take back their very bytes; the translated ones and the empty text only counted.
#include "capture/capture_catalogue.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "text_sources/po_reader.h"

namespace vykcn {
namespace {

class StringOutput final : public CatalogueOutput {
 public:
  void Append(const char* data, size_t size) override { text.append(data, size); }
  std::string text;
};

LookupAnswer Given(void* answer) { return *static_cast<LookupAnswer*>(answer); }

void Pass(CaptureRecorder& recorder, const std::string& text, LookupAnswer answer) {
  recorder.Record(text.data(), text.size(), CaptureSite::kExport, &Given, &answer);
}

TEST(CaptureCatalogue, UntranslatedTextsReadBackToTheirBytes) {
  struct Case {
    std::string text;
    std::string msgid;  // as written, after "msgid "
  };
  const Case cases[] = {
      {"Welcome home. ", "\"Welcome home. \""},
      {"Who goes there?\n", "\"Who goes there?\\n\""},
      {"Line one\nLine two", "\"\"\n\"Line one\\n\"\n\"Line two\""},
      {"Tab\t \"quoted\" back\\slash \\101", "\"Tab\\t \\\"quoted\\\" back\\\\slash \\\\101\""},
      {"bell\a cr\r del\x7F esc\x1B", "\"bell\\007 cr\\015 del\\177 esc\\033\""},
      {"Caf\xE9 au lait \xC3", "\"Caf\\351 au lait \\303\""},                        // not UTF-8
      {"next\xC2\x85line\xE2\x80\xA8", "\"next\\302\\205line\\342\\200\\250\""},  // U+0085, U+2028
      {"overlong \xC0\xAF", "\"overlong \\300\\257\""},
      {"你昨晚去哪儿了？", "\"你昨晚去哪儿了？\""},
  };
  CaptureRecorder recorder({11, 4096});
  Pass(recorder, "Welcome home.", LookupAnswer::kOwn);
  for (const Case& c : cases) Pass(recorder, c.text, LookupAnswer::kNone);
  Pass(recorder, "", LookupAnswer::kNone);
  Pass(recorder, "", LookupAnswer::kNone);
  Pass(recorder, "OK", LookupAnswer::kOwn);  // the twelfth: beyond the limit
  StringOutput out;
  WriteCaptureCatalogue(recorder, out);
  EXPECT_NE(out.text.find("\n# Texts without a translation of their own (below): 9; translated: 1; "
                          "passes of the empty text: 2.\n# Passes not recorded: 1 (limits: 11 distinct texts, 4096 bytes).\n"),
            std::string::npos)
      << out.text;
  for (const Case& c : cases) {
    EXPECT_NE(out.text.find("\n\n#. export: 1 pass; shown untranslated\nmsgid " + c.msgid + "\nmsgstr \"\"\n"),
              std::string::npos)
        << c.msgid;
  }

  char path[] = "/tmp/vykcn-capture-XXXXXX.po";
  const int fd = mkstemps(path, 3);
  ASSERT_GE(fd, 0);
  close(fd);
  std::ofstream(path, std::ios::binary) << out.text;
  const tool::SourceFile back = tool::ReadPoFile(path);
  EXPECT_TRUE(back.problems.empty()) << back.problems[0].line << ": " << back.problems[0].message;
  ASSERT_EQ(back.entries.size(), std::size(cases));
  for (size_t i = 0; i < back.entries.size(); ++i) {
    EXPECT_EQ(back.entries[i].host, cases[i].text) << i;
    EXPECT_EQ(back.entries[i].translation, "") << i;
  }
  if (std::system("command -v msgfmt >/dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system(("msgfmt -c -o /dev/null '" + std::string(path) + "'").c_str()), 0);
  }
  std::remove(path);
}

}  // namespace
}  // namespace vykcn

// The charsets both tools read, as one table run on Linux (where the platform's tables are glibc's
// iconv) and on Windows (the system's code pages, under Wine; tests/windows builds this file too):
// each row decodes to the same text or is refused alike; the rows with a digest pin what every one-
// and two-byte code (and each of GB18030's four-byte codes) means, so that no platform's table may
// differ in a single code from the other's.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/charset_conversion.h"
#include "common/command_error.h"

namespace vykcn::test {
namespace {

using tool::CharsetConverter;

constexpr char kRefused[] = "(refused)";

// FNV-1a over each code and what it decodes to, in code order.
struct Digest {
  uint64_t value = 0xCBF29CE484222325u;
  void Add(const std::string& bytes) {
    for (unsigned char c : bytes) value = (value ^ c) * 0x100000001B3u;
  }
};

// Every one- and two-byte code (a lead byte 0x81..0xFE, then any byte), and for GB18030 every
// four-byte one, with what it decodes to.
uint64_t DigestOfAllCodes(CharsetConverter& converter, bool fourByte) {
  Digest digest;
  std::string out;
  const auto add = [&](const std::string& code) {
    digest.Add(code);
    digest.Add(converter.ToUtf8(code, &out) ? out : std::string(1, '\xFF'));
  };
  for (int first = 0; first < 256; ++first) {
    add(std::string(1, char(first)));
    for (int second = 0; first >= 0x81 && first <= 0xFE && second < 256; ++second) add({char(first), char(second)});
  }
  for (int b1 = 0x81; fourByte && b1 <= 0xFE; ++b1) {
    for (int b2 = 0x30; b2 <= 0x39; ++b2) {
      for (int b3 = 0x81; b3 <= 0xFE; ++b3) {
        for (int b4 = 0x30; b4 <= 0x39; ++b4) add({char(b1), char(b2), char(b3), char(b4)});
      }
    }
  }
  return digest.value;
}

TEST(Charsets, EveryPlatformReadsTheListAlike) {
  struct Row {
    const char* charset;
    std::string bytes;
    std::string text;     // UTF-8, or kRefused; for a charset outside the list, part of the message
    uint64_t digest = 0;  // of all its codes; 0: not taken
  };
  const Row rows[] = {
      {"UTF-8", "\xE4\xBD\xA0\xE5\xA5\xBD", "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"utf8", "\xC0\xAF", kRefused},  // an overlong '/'
      {"UTF-16", std::string("\xFF\xFE\x60\x4F\x7D\x59\x3D\xD8\x00\xDE", 10), "\xE4\xBD\xA0\xE5\xA5\xBD\xF0\x9F\x98\x80"},
      {"UTF-16", std::string("\xFE\xFF\x4F\x60", 4), "\xE4\xBD\xA0"},
      {"UTF-16", std::string("\x60\x4F", 2), kRefused},  // no byte order mark
      {"UTF-16", std::string("\xFF\xFE\x00\xD8", 4), kRefused},  // half a surrogate pair
      {"GB18030", "\xC4\xE3\xBA\xC3", "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"GB18030", "\x81\x30\x81\x30\x84\x31\xA4\x39", "\xC2\x80\xEF\xBF\xBF"},  // four-byte U+0080, U+FFFF
      {"GB18030", "\x95\x32\x82\x36\xE3\x32\x9A\x35", "\xF0\xA0\x80\x80\xF4\x8F\xBF\xBF"},  // U+20000, U+10FFFF
      {"GB18030", "\xA2\xE3\xA8\xBC\xFE\x51", "\xE2\x82\xAC\xE1\xB8\xBF\xF0\xA0\x82\x87"},  // two-byte codes GBK lacks
      {"GB18030", "\x80", kRefused},          // GBK's one-byte euro sign
      {"GB18030", "\xC4", kRefused},          // cut short
      {"GB18030", "\x81\x30\x81", kRefused},  // cut short
      {"GB18030", "\xAA\xA1", kRefused},      // user-defined: the Private Use Area
      {"GB18030", "", "", 0x294FD4FCCE1B7815u},
      {"GBK", "\xC4\xE3\x81\x5C\x80", "\xE4\xBD\xA0\xE4\xB9\x97\xE2\x82\xAC"},  // 81 5C ends in a backslash
      {"cp936", "\xA1\x40", kRefused},  // user-defined
      {"GBK", "", "", 0xAD7F3D576B88BF7Au},
      {"Big5", "\xA7\x41\xA6\x6E", "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"BIG5", "\xC6\xA1", kRefused},  // an extension glibc puts in the Private Use Area, Windows nowhere
      {"Big5", "", "", 0xA361A5A13923A535u},
      {"windows-1252", "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"CP1252", "\x81", kRefused},  // unassigned: a C1 control to Windows alone
      {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {"windows-1255", "\xCA", kRefused},  // unassigned to glibc, a vowel point to Windows
      {"windows-1250", "", "", 0xBEE50961926B2689u},
      {"windows-1251", "", "", 0xEC0DB9136E3CB43Du},
      {"windows-1252", "", "", 0x431EF58419CACFECu},
      {"windows-1253", "", "", 0x3D5EDA97476C460Au},
      {"windows-1254", "", "", 0x6A69B2AE72D0C776u},
      {"windows-1255", "", "", 0xC27EAC2B79B05A78u},
      {"windows-1256", "", "", 0xA87CF8D63A584E31u},
      {"windows-1257", "", "", 0xCD0504E800F2D107u},
      {"windows-1258", "", "", 0x17BAEE3042F588CFu},
      {"ISO-8859-1", "caf\xE9", "caf\xC3\xA9"},
      {"ISO-8859-7", "\xA4\xA1", "\xE2\x82\xAC\xE2\x80\x98"},  // the 2003 edition, on Windows too
      {"ISO-8859-8", "\xFD", "\xE2\x80\x8E"},
      {"ISO8859-3", "\xA5", kRefused},  // unassigned
      {"iso_8859-15", "\xA4", "\xE2\x82\xAC"},
      {"ISO-8859-1", "", "", 0xE3691A8BCCBDB9E5u},
      {"ISO-8859-2", "", "", 0xEBC654904C744DE4u},
      {"ISO-8859-3", "", "", 0x924A9C37D8F188C8u},
      {"ISO-8859-4", "", "", 0xEE22100D9D60DD49u},
      {"ISO-8859-5", "", "", 0xD5B6A95BD376ADB7u},
      {"ISO-8859-6", "", "", 0x35A6E488A5519784u},
      {"ISO-8859-7", "", "", 0xDC1505B953C99062u},
      {"ISO-8859-8", "", "", 0xE6482D918B9F3B5Du},
      {"ISO-8859-9", "", "", 0x7331F7DB67467B74u},
      {"ISO-8859-13", "", "", 0x74D7915E5049F995u},
      {"ISO-8859-15", "", "", 0x24E8CC14C59F79DEu},
      // Outside the list: refused by name, whatever the platform knows.
      {"KOI8-R", "", "charset \"KOI8-R\" is none of those the toolkit reads (UTF-8, UTF-16 (with a byte order mark), "
                     "GB18030, GBK, Big5, windows-1250 to windows-1258, ISO-8859-1 to ISO-8859-9, ISO-8859-13 and "
                     "ISO-8859-15)"},
      {"GB2312", "", "charset \"GB2312\" is none of those"},
      {"UTF-32", "", "charset \"UTF-32\" is none of those"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.charset) + " " + row.bytes);
    try {
      CharsetConverter converter(row.charset);
      if (row.digest != 0) {
        EXPECT_EQ(DigestOfAllCodes(converter, std::string(row.charset) == "GB18030"), row.digest);
        continue;
      }
      std::string text;
      EXPECT_EQ(converter.ToUtf8(row.bytes, &text) ? text : kRefused, row.text);
    } catch (const tool::CommandError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(row.text, 0), 0u) << e.what();
    }
  }
}

}  // namespace
}  // namespace vykcn::test

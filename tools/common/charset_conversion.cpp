#include "common/charset_conversion.h"

#include <cctype>
#include <map>
#include <mutex>
#include <vector>

#include "base/utf8.h"
#include "common/command_error.h"
#include "common/gb18030.h"
#include "system/code_pages.h"

namespace vykcn::tool {

namespace {

enum Kind { kUtf8, kUtf16, kGb18030, kSingleByte, kDoubleByte };

struct Listed {
  const char* name;  // the list's spelling
  Kind kind;
  system::CodePage page;  // where the platform decodes it (GB18030: its GBK part)
};

constexpr Listed kCharsets[] = {
    {"UTF-8", kUtf8, {"UTF-8", 65001}},
    {"UTF-16", kUtf16, {"UTF-16", 1200}},
    {"GB18030", kGb18030, {"GBK", 936}},
    {"GBK", kDoubleByte, {"GBK", 936}},
    {"Big5", kDoubleByte, {"BIG5", 950}},
    {"windows-1250", kSingleByte, {"WINDOWS-1250", 1250}},
    {"windows-1251", kSingleByte, {"WINDOWS-1251", 1251}},
    {"windows-1252", kSingleByte, {"WINDOWS-1252", 1252}},
    {"windows-1253", kSingleByte, {"WINDOWS-1253", 1253}},
    {"windows-1254", kSingleByte, {"WINDOWS-1254", 1254}},
    {"windows-1255", kSingleByte, {"WINDOWS-1255", 1255}},
    {"windows-1256", kSingleByte, {"WINDOWS-1256", 1256}},
    {"windows-1257", kSingleByte, {"WINDOWS-1257", 1257}},
    {"windows-1258", kSingleByte, {"WINDOWS-1258", 1258}},
    {"ISO-8859-1", kSingleByte, {"ISO-8859-1", 28591}},
    {"ISO-8859-2", kSingleByte, {"ISO-8859-2", 28592}},
    {"ISO-8859-3", kSingleByte, {"ISO-8859-3", 28593}},
    {"ISO-8859-4", kSingleByte, {"ISO-8859-4", 28594}},
    {"ISO-8859-5", kSingleByte, {"ISO-8859-5", 28595}},
    {"ISO-8859-6", kSingleByte, {"ISO-8859-6", 28596}},
    {"ISO-8859-7", kSingleByte, {"ISO-8859-7", 28597}},
    {"ISO-8859-8", kSingleByte, {"ISO-8859-8", 28598}},
    {"ISO-8859-9", kSingleByte, {"ISO-8859-9", 28599}},
    {"ISO-8859-13", kSingleByte, {"ISO-8859-13", 28603}},
    {"ISO-8859-15", kSingleByte, {"ISO-8859-15", 28605}},
};

// Other names of the same charsets, as spelt once case, '-' and '_' are set aside.
constexpr const char* kAliases[][2] = {
    {"CP936", "GBK"}, {"CP950", "Big5"},
    {"CP1250", "windows-1250"}, {"CP1251", "windows-1251"}, {"CP1252", "windows-1252"},
    {"CP1253", "windows-1253"}, {"CP1254", "windows-1254"}, {"CP1255", "windows-1255"},
    {"CP1256", "windows-1256"}, {"CP1257", "windows-1257"}, {"CP1258", "windows-1258"},
};

// Where the platforms' tables differ, the meaning the toolkit gives the byte on all of them: the
// 2003 edition of ISO-8859-7 (Windows' code page 28597 is the 1987 one), ISO-8859-8's marks and
// macron, and windows-1255's unassigned 0xCA (a vowel point in Windows' table alone).
struct Correction {
  const char* charset;
  uint8_t byte;
  uint32_t codePoint;  // kNone: no character
};
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr Correction kCorrections[] = {
    {"ISO-8859-7", 0xA1, 0x2018}, {"ISO-8859-7", 0xA2, 0x2019}, {"ISO-8859-7", 0xA4, 0x20AC},
    {"ISO-8859-7", 0xA5, 0x20AF}, {"ISO-8859-7", 0xAA, 0x037A},
    {"ISO-8859-8", 0xAF, 0x00AF}, {"ISO-8859-8", 0xFD, 0x200E}, {"ISO-8859-8", 0xFE, 0x200F},
    {"windows-1255", 0xCA, kNone},
};

constexpr uint32_t kLead = 0xFFFFFFFEu;  // a byte that starts a two-byte code
constexpr int kTrailFirst = 0x40, kTrailLast = 0xFE, kTrails = kTrailLast - kTrailFirst + 1;

std::string Spelling(const std::string& name) {
  std::string key;
  for (char c : name) {
    if (c != '-' && c != '_') key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return key;
}

const Listed* FindListed(const std::string& name) {
  std::string key = Spelling(name);
  for (const auto& alias : kAliases) {
    if (key == alias[0]) key = Spelling(alias[1]);
  }
  for (const Listed& listed : kCharsets) {
    if (key == Spelling(listed.name)) return &listed;
  }
  return nullptr;
}

}  // namespace

// A legacy charset's meaning, built once per process from what the platform decodes.
struct CharsetTables {
  uint32_t single[256];          // the character of each byte alone, kLead, or kNone
  std::vector<uint32_t> pairs;   // two-byte codes: lead 0x81..0xFE by trail 0x40..0xFE
};

namespace {

// A character the platform gave, or kNone for one the toolkit does not read from a legacy charset:
// the Private Use Area (user-defined codes, which no font has), and the C1 controls that Windows
// gives the bytes a windows-125x code page leaves unassigned.
uint32_t Accepted(const Listed& listed, const std::vector<uint32_t>& codePoints) {
  if (codePoints.size() != 1) return kNone;
  const uint32_t c = codePoints[0];
  if (c >= 0xE000 && c <= 0xF8FF) return kNone;
  if (listed.page.windowsNumber >= 1250 && listed.page.windowsNumber <= 1258 && c >= 0x80 && c <= 0x9F) return kNone;
  return c;
}

CharsetTables* BuildTables(const Listed& listed) {
  auto* tables = new CharsetTables;
  std::vector<uint32_t> decoded;
  const bool pairs = listed.kind != kSingleByte;
  for (int b = 0; b < 256; ++b) {
    const uint8_t byte = static_cast<uint8_t>(b);
    if (pairs && b >= 0x81 && b <= 0xFE) {
      tables->single[b] = kLead;
    } else {
      tables->single[b] = system::DecodeInCodePage(listed.page, &byte, 1, &decoded) ? Accepted(listed, decoded) : kNone;
    }
  }
  for (const Correction& correction : kCorrections) {
    if (Spelling(correction.charset) == Spelling(listed.name)) tables->single[correction.byte] = correction.codePoint;
  }
  if (pairs) {
    tables->pairs.assign(size_t(0xFE - 0x81 + 1) * kTrails, kNone);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
        const uint8_t code[2] = {static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)};
        if (system::DecodeInCodePage(listed.page, code, 2, &decoded)) {
          tables->pairs[size_t(lead - 0x81) * kTrails + size_t(trail - kTrailFirst)] = Accepted(listed, decoded);
        }
      }
    }
  }
  if (listed.kind == kGb18030) {
    // GBK's one-byte euro sign is no GB18030 code; its two-byte codes are, with GB18030's additions.
    tables->single[0x80] = kNone;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
        uint32_t codePoint;
        if (Gb18030TwoByteAddition(static_cast<uint16_t>(lead << 8 | trail), &codePoint)) {
          tables->pairs[size_t(lead - 0x81) * kTrails + size_t(trail - kTrailFirst)] = codePoint;
        }
      }
    }
  }
  return tables;
}

const CharsetTables* TablesFor(const Listed& listed) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<CharsetTables>> built;
  const std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<CharsetTables>& tables = built[listed.name];
  if (!tables) tables.reset(BuildTables(listed));
  return tables.get();
}

// How long the UTF-8 character that starts with `lead` is, and whether `second` may follow it:
// a sequence cut short is told apart from one that can never be whole.
size_t Utf8Length(uint8_t lead) {
  return lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}
bool Utf8SecondFits(uint8_t lead, uint8_t second) {
  const uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  return second >= low && second <= high;
}

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool Utf16ToUtf8(const std::string& text, std::string* out) {
  if (text.size() < 2 || text.size() % 2 != 0) return false;
  const bool little = text.compare(0, 2, "\xFF\xFE") == 0;
  if (!little && text.compare(0, 2, "\xFE\xFF") != 0) return false;
  const auto unit = [&](size_t at) {
    const auto first = static_cast<uint8_t>(text[at]), second = static_cast<uint8_t>(text[at + 1]);
    return little ? uint32_t(first | second << 8) : uint32_t(first << 8 | second);
  };
  for (size_t at = 2; at < text.size(); at += 2) {
    uint32_t c = unit(at);
    if (c >= 0xDC00 && c < 0xE000) return false;
    if (c >= 0xD800 && c < 0xDC00) {
      if (at + 4 > text.size()) return false;
      const uint32_t low = unit(at + 2);
      if (low < 0xDC00 || low >= 0xE000) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(c, out);
  }
  return true;
}

}  // namespace

const char* AcceptedCharsets() {
  return "UTF-8, UTF-16 (with a byte order mark), GB18030, GBK, Big5, windows-1250 to windows-1258, ISO-8859-1 to "
         "ISO-8859-9, ISO-8859-13 and ISO-8859-15";
}

bool IsUtf8Compatible(const std::string& charset) {
  const std::string name = Spelling(charset);
  return name.empty() || name == "UTF8" || name == "ASCII" || name == "USASCII" || name == "CHARSET";
}

CharsetConverter::CharsetConverter(const std::string& charset) {
  const Listed* listed = FindListed(charset);
  if (listed == nullptr) {
    throw CommandError("charset \"" + charset + "\" is none of those the toolkit reads (" + AcceptedCharsets() + ")");
  }
  name_ = listed->name;
  kind_ = listed->kind;
  tables_ = kind_ == kUtf8 || kind_ == kUtf16 ? nullptr : TablesFor(*listed);
}

CharsetConverter::~CharsetConverter() = default;

bool CharsetConverter::SingleByte() const { return kind_ == kSingleByte; }

CharsetConverter::Step CharsetConverter::Next(const uint8_t* bytes, size_t size, uint32_t* codePoint,
                                              size_t* length) const {
  if (size == 0) return Step::kIncomplete;
  const uint8_t first = bytes[0];
  if (kind_ == kUtf16) return Step::kInvalid;
  if (kind_ == kUtf8) {
    const size_t need = Utf8Length(first);
    if (need == 0 || (size >= 2 && need >= 2 && !Utf8SecondFits(first, bytes[1]))) return Step::kInvalid;
    for (size_t i = 2; i < need && i < size; ++i) {
      if ((bytes[i] & 0xC0) != 0x80) return Step::kInvalid;
    }
    if (size < need) return Step::kIncomplete;
    size_t at = 0;
    if (!DecodeUtf8Char(std::string_view(reinterpret_cast<const char*>(bytes), need), &at, codePoint)) {
      return Step::kInvalid;
    }
    *length = need;
    return Step::kCharacter;
  }
  const uint32_t alone = tables_->single[first];
  if (alone != kLead) {
    if (alone == kNone) return Step::kInvalid;
    *codePoint = alone;
    *length = 1;
    return Step::kCharacter;
  }
  if (size < 2) return Step::kIncomplete;
  const uint8_t second = bytes[1];
  if (kind_ == kGb18030 && second >= 0x30 && second <= 0x39) {
    if (size >= 3 && (bytes[2] < 0x81 || bytes[2] > 0xFE)) return Step::kInvalid;
    if (size >= 4 && (bytes[3] < 0x30 || bytes[3] > 0x39)) return Step::kInvalid;
    if (size < 4) return Step::kIncomplete;
    if (!Gb18030FourByteCode(bytes, codePoint) || (*codePoint >= 0xE000 && *codePoint <= 0xF8FF)) return Step::kInvalid;
    *length = 4;
    return Step::kCharacter;
  }
  if (second < kTrailFirst || second > kTrailLast) return Step::kInvalid;
  const uint32_t pair = tables_->pairs[size_t(first - 0x81) * kTrails + size_t(second - kTrailFirst)];
  if (pair == kNone) return Step::kInvalid;
  *codePoint = pair;
  *length = 2;
  return Step::kCharacter;
}

bool CharsetConverter::ToUtf8(const std::string& text, std::string* out) {
  out->clear();
  if (kind_ == kUtf16) return Utf16ToUtf8(text, out);
  if (kind_ == kUtf8) {
    if (!IsValidUtf8(text)) return false;
    *out = text;
    return true;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  for (size_t at = 0; at < text.size();) {
    uint32_t codePoint = 0;
    size_t length = 0;
    if (Next(bytes + at, text.size() - at, &codePoint, &length) != Step::kCharacter) return false;
    AppendUtf8(codePoint, out);
    at += length;
  }
  return true;
}

}  // namespace vykcn::tool

#pragma once
// Text in a named character set turned into UTF-8, through iconv.
#include <string>

namespace vykcn::tool {

// True for names that need no conversion ("UTF-8", "utf8", "ASCII", and the PO template's
// placeholder "CHARSET").
bool IsUtf8Compatible(const std::string& charset);

class CharsetConverter {
 public:
  // Throws CommandError naming the charset when iconv does not know it.
  explicit CharsetConverter(const std::string& charset);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  // The text in UTF-8; false when it holds a byte sequence that is not valid in the charset.
  bool ToUtf8(const std::string& text, std::string* out);

  // True when each byte alone is one character or none (windows-1252, ISO-8859-1, KOI8-R ...);
  // false for charsets of multi-byte sequences or shift states (GBK, Shift_JIS, UTF-16, ISO-2022-JP).
  bool SingleByte() const { return singleByte_; }

 private:
  void* handle_;
  bool singleByte_;
};

}  // namespace vykcn::tool

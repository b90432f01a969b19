#pragma once
// Text in a named character set turned into UTF-8: the toolkit's one charset step. The charsets it
// reads are one list, the same on every platform; legacy ones are decoded by the platform's own
// tables (system/code_pages.h), corrected where platforms disagree, so that a file means
// the same text to the Linux and the Windows tool.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vykcn::tool {

struct CharsetTables;

// The charsets, as a message names them: "UTF-8, UTF-16 (with a byte order mark), GB18030, ...".
const char* AcceptedCharsets();

// True for names that need no conversion ("UTF-8", "utf8", "ASCII", and the PO template's
// placeholder "CHARSET").
bool IsUtf8Compatible(const std::string& charset);

class CharsetConverter {
 public:
  // Throws CommandError naming the charset and the list when it is none of AcceptedCharsets.
  // Names are taken in any case, with or without '-' and '_' ("gbk", "ISO8859-1", "CP1252").
  explicit CharsetConverter(const std::string& charset);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  // The text in UTF-8; false when it holds a byte sequence that is not valid in the charset (or,
  // for UTF-16, starts with no byte order mark).
  bool ToUtf8(const std::string& text, std::string* out);

  enum class Step { kCharacter, kIncomplete, kInvalid };
  // The character that starts `bytes`, and how many bytes it takes; kIncomplete when the bytes
  // end inside one. UTF-16, whose byte order its first bytes give, is read by ToUtf8 alone.
  Step Next(const uint8_t* bytes, size_t size, uint32_t* codePoint, size_t* length) const;

  const std::string& name() const { return name_; }
  // True when each byte alone is one character or none (windows-1252, ISO-8859-1, ...); false for
  // charsets of multi-byte sequences (GB18030, GBK, Big5, UTF-8, UTF-16).
  bool SingleByte() const;

 private:
  std::string name_;  // the list's spelling
  int kind_;
  const CharsetTables* tables_;
};

}  // namespace vykcn::tool

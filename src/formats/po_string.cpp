#include "formats/po_string.h"

#include <cstdint>

#include "base/utf8.h"

namespace vykcn {
namespace {

bool Invisible(uint32_t c) { return (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0xFEFF || c == 0x2029; }

// gettext's letter for a control byte, or 0.
char ControlLetter(unsigned char byte) {
  switch (byte) {
    case '\a': return 'a';
    case '\b': return 'b';
    case '\f': return 'f';
    case '\r': return 'r';
    case '\v': return 'v';
    default: return 0;
  }
}

}  // namespace

void WritePoString(std::string_view bytes, const PoStringStyle& style, PoStringSink& out) {
  size_t plain = 0;  // the start of the bytes not yet written that stand as they are
  const auto flush = [&](size_t end) {
    if (end > plain) out.Append(bytes.data() + plain, end - plain);
  };
  for (size_t at = 0; at < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
      ++at;
      continue;
    }
    uint32_t code = 0;
    size_t next = at;
    if (byte >= 0x80 && DecodeUtf8Char(bytes, &next, &code) && !(style.octalInvisible && Invisible(code))) {
      at = next;
      continue;
    }
    flush(at);
    const char letter = byte == '\n'   ? 'n'
                        : byte == '\t' ? 't'
                        : byte == '"' || byte == '\\' ? static_cast<char>(byte)
                        : style.controlLetters ? ControlLetter(byte)
                                               : 0;
    if (byte == '\n' && style.breakAfterLineFeeds && at + 1 < bytes.size()) {
      out.Append("\\n\"\n\"", 5);
    } else if (letter != 0) {
      const char escaped[] = {'\\', letter};
      out.Append(escaped, sizeof escaped);
    } else {
      // One byte at a time: a character made of several is escaped byte by byte.
      const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
                            static_cast<char>('0' + (byte & 7))};
      out.Append(octal, sizeof octal);
    }
    plain = ++at;
  }
  flush(bytes.size());
}

}  // namespace vykcn

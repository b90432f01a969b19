#include "text_sources/po_escape.h"

#include <cstring>

#include "base/utf8.h"

namespace vykcn::tool {

std::string EscapedPoText(const std::string& bytes) {
  static const char kLetters[] = "\nn\tt\"\"\\\\\aa\bb\ff\rr\vv";
  std::string out;
  out.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    const char* letter = byte != 0 ? std::strchr(kLetters, byte) : nullptr;
    if (letter != nullptr && (letter - kLetters) % 2 == 0) {
      out += '\\';
      out += letter[1];
      ++at;
      continue;
    }
    if (byte >= 0x20 && byte < 0x7F) {
      out += bytes[at++];
      continue;
    }
    uint32_t codePoint = 0;
    const size_t start = at;
    if (byte >= 0x80 && DecodeUtf8Char(bytes, &at, &codePoint)) {
      out.append(bytes, start, at - start);
      continue;
    }
    const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + ((byte >> 3) & 7)),
                          static_cast<char>('0' + (byte & 7))};
    out.append(octal, sizeof octal);
    ++at;
  }
  return out;
}

std::string QuotedPoText(const std::string& bytes) { return "\"" + EscapedPoText(bytes) + "\""; }

}  // namespace vykcn::tool

#include "common/charset_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <cctype>

#include "common/command_error.h"

namespace vykcn::tool {
namespace {

// Whether every byte, read alone from the initial state, gives a character or is refused as one the
// charset lacks: a byte that starts a longer sequence, or only shifts state, gives neither.
bool EachByteStandsAlone(iconv_t cd) {
  for (int value = 0; value < 256; ++value) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char byte = static_cast<char>(value);
    char* in = &byte;
    size_t inLeft = 1;
    char buffer[16];
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const bool converted = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
    if (converted ? out == buffer : errno != EILSEQ) return false;
  }
  return true;
}

}  // namespace

bool IsUtf8Compatible(const std::string& charset) {
  std::string name;
  for (char c : charset) {
    if (c != '-' && c != '_') name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return name.empty() || name == "UTF8" || name == "ASCII" || name == "USASCII" || name == "CHARSET";
}

CharsetConverter::CharsetConverter(const std::string& charset) {
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) throw CommandError("unknown charset \"" + charset + "\"");
  handle_ = cd;
  singleByte_ = EachByteStandsAlone(cd);
}

CharsetConverter::~CharsetConverter() { iconv_close(static_cast<iconv_t>(handle_)); }

bool CharsetConverter::ToUtf8(const std::string& text, std::string* out) {
  iconv_t cd = static_cast<iconv_t>(handle_);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state for every text
  out->clear();
  std::string input = text;
  char* in = input.data();
  size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* o = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(cd, &in, &inLeft, &o, &outLeft);
    out->append(buffer, static_cast<size_t>(o - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  char* o = buffer;
  size_t outLeft = sizeof buffer;
  if (iconv(cd, nullptr, nullptr, &o, &outLeft) == static_cast<size_t>(-1)) return false;
  out->append(buffer, static_cast<size_t>(o - buffer));
  return true;
}

}  // namespace vykcn::tool

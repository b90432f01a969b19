// iconv over the toolkit's charset step, for libgettextpo's lexer: one character at a time, and
// errno as iconv sets it (EINVAL for a sequence the input ends inside, EILSEQ for an invalid one,
// E2BIG when the output is full), so that the library reads and reports as it does with glibc's.
#include "iconv.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "common/charset_conversion.h"

using vykcn::tool::CharsetConverter;

namespace {

struct Conversion {
  CharsetConverter converter;
  bool asciiOnly;  // ASCII is read as UTF-8 whose every byte is below 0x80, as glibc's iconv reads it
};

bool IsAscii(const std::string& name) { return name == "ASCII" || name == "US-ASCII" || name == "ANSI_X3.4-1968"; }

}  // namespace

extern "C" iconv_t iconv_open(const char* tocode, const char* fromcode) {
  // No exception may leave for C: a charset the toolkit does not read is iconv's EINVAL.
  try {
    const std::string to = tocode, from = fromcode;
    if (to != "UTF-8" && to != "utf-8" && to != "UTF8") {
      errno = EINVAL;
      return reinterpret_cast<iconv_t>(-1);
    }
    return new Conversion{CharsetConverter(IsAscii(from) ? "UTF-8" : from), IsAscii(from)};
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
  } catch (...) {
    errno = EINVAL;
  }
  return reinterpret_cast<iconv_t>(-1);
}

extern "C" size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
  if (inbuf == nullptr || *inbuf == nullptr) return 0;  // no shift state to reset or flush
  const auto* conversion = static_cast<const Conversion*>(cd);
  while (*inbytesleft > 0) {
    uint32_t c = 0;
    size_t length = 0;
    if (conversion->asciiOnly && static_cast<uint8_t>(**inbuf) >= 0x80) {
      errno = EILSEQ;
      return static_cast<size_t>(-1);
    }
    switch (conversion->converter.Next(reinterpret_cast<const uint8_t*>(*inbuf), *inbytesleft, &c, &length)) {
      case CharsetConverter::Step::kIncomplete:
        errno = EINVAL;
        return static_cast<size_t>(-1);
      case CharsetConverter::Step::kInvalid:
        errno = EILSEQ;
        return static_cast<size_t>(-1);
      case CharsetConverter::Step::kCharacter:
        break;
    }
    char utf8[4];
    const size_t size = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (size == 1) {
      utf8[0] = static_cast<char>(c);
    } else {
      static const uint8_t kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
      for (size_t i = size - 1; i > 0; --i, c >>= 6) utf8[i] = static_cast<char>(0x80 | (c & 0x3F));
      utf8[0] = static_cast<char>(kLeads[size] | c);
    }
    if (size > *outbytesleft) {
      errno = E2BIG;
      return static_cast<size_t>(-1);
    }
    std::memcpy(*outbuf, utf8, size);
    *outbuf += size;
    *outbytesleft -= size;
    *inbuf += length;
    *inbytesleft -= length;
  }
  return 0;
}

extern "C" int iconv_close(iconv_t cd) {
  delete static_cast<Conversion*>(cd);
  return 0;
}

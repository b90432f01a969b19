#include "system/code_pages.h"

#include <iconv.h>

#include <map>
#include <string>

#include "base/byte_order.h"

namespace vykcn::tool::system {

namespace {

// One descriptor per code page for the process (the toolkit decodes tens of thousands of sequences
// when it builds a table), closed when the process ends.
struct Descriptors {
  std::map<std::string, iconv_t> byName;
  ~Descriptors() {
    for (const auto& [name, cd] : byName) {
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  }
};

}  // namespace

bool DecodeInCodePage(const CodePage& page, const uint8_t* bytes, size_t size, std::vector<uint32_t>* codePoints) {
  static Descriptors descriptors;
  auto found = descriptors.byName.find(page.name);
  if (found == descriptors.byName.end()) {
    found = descriptors.byName.emplace(page.name, iconv_open("UTF-32LE", page.name)).first;
  }
  const iconv_t cd = found->second;
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string input(reinterpret_cast<const char*>(bytes), size);
  char* in = input.data();
  size_t inLeft = input.size();
  char output[64];
  char* out = output;
  size_t outLeft = sizeof output;
  if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
  if (iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) return false;
  codePoints->clear();
  for (const char* at = output; at + 4 <= out; at += 4) codePoints->push_back(ReadU32LE(reinterpret_cast<const uint8_t*>(at)));
  return true;
}

}  // namespace vykcn::tool::system

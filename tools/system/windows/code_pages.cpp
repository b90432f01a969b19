#include "system/code_pages.h"

#include <windows.h>

namespace vykcn::tool::system {

bool DecodeInCodePage(const CodePage& page, const uint8_t* bytes, size_t size, std::vector<uint32_t>* codePoints) {
  wchar_t units[16];
  const int count = MultiByteToWideChar(page.windowsNumber, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                        static_cast<int>(size), units, 16);
  if (count <= 0) return false;
  codePoints->clear();
  for (int i = 0; i < count; ++i) {
    const uint32_t unit = units[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      codePoints->push_back(0x10000 + ((unit - 0xD800) << 10) + (uint32_t(units[++i]) - 0xDC00));
    } else {
      codePoints->push_back(unit);
    }
  }
  return true;
}

}  // namespace vykcn::tool::system

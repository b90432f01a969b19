#pragma once
// Kinds of files told by their extension, in any case (.po, .PO and .Po alike).
#include <cctype>
#include <string>

namespace vykcn::tool {

// The extension of the path's last name with its dot, in lower case; "" when it has none. Names
// end at a slash and, as Windows paths are written, at a backslash.
inline std::string ExtensionInLowerCase(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return "";
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace vykcn::tool

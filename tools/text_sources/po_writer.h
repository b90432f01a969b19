#pragma once
// Writes gettext PO catalogues in UTF-8, laid out as msgcat lays them out.
#include <string>
#include <vector>

namespace vykcn::tool {

struct PoMessage {
  std::string file;  // the "#: FILE:LINE" reference; empty: none
  int line = 0;      // 0: the file alone
  bool hasContext = false;
  std::string context;
  std::string msgid;
  std::string msgstr;
};

struct PoCatalogue {
  std::vector<std::string> headerComments;
  std::string language;  // the header's Language field
  std::vector<PoMessage> messages;
};

// The header comments as "# " lines; the header entry with every field msgfmt -c asks for (those
// the toolkit cannot know left empty), charset UTF-8 and 8bit; then each message after an empty
// line. A byte of a comment or file name that a PO comment cannot hold (a control byte, one
// outside well-formed UTF-8) is written as '?'; a file name with white space is set between
// U+2068 and U+2069, as gettext writes it.
std::string WritePoCatalogue(const PoCatalogue& catalogue);

}  // namespace vykcn::tool

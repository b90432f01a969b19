#pragma once
// Gettext PO files, read with libgettextpo.
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Every non-obsolete message but the header, in file order. Fuzzy and untranslated messages
// come back with usable = false; plural messages carry msgstr[0]. Texts are UTF-8, converted from
// the charset of the header. Throws CommandError with the file and line of a syntax error, of a
// NUL written into a string, or of a text not valid in the header's charset, and for a charset
// that iconv does not know. *obsoleteCount, if given, gets the number of obsolete messages.
std::vector<TextEntry> ReadPoFile(const std::string& path, size_t* obsoleteCount = nullptr);

}  // namespace vykcn::tool

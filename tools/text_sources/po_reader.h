#pragma once
// Gettext PO files, read with libgettextpo.
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Every non-obsolete message but the header, in file order. Fuzzy and untranslated messages
// come back with usable = false; plural messages carry msgstr[0]. Throws CommandError with the
// file and line of a syntax error, or of a NUL written into a string.
std::vector<TextEntry> ReadPoFile(const std::string& path);

}  // namespace vykcn::tool

#pragma once
// Gettext PO files, read with libgettextpo.
#include <string>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Every non-obsolete message but the header, in file order. Fuzzy and untranslated messages
// come back with usable = false; plural messages carry msgstr[0]. Texts are UTF-8, converted from
// the charset of the header. Each syntax error, NUL written into a string, or text not valid in
// the header's charset is a problem at its line, and reading goes on; the message with a NUL or
// a text that cannot be converted is left out. A header that names a single-byte charset over
// texts that are all UTF-8 is an error at the line that names it, and the texts are read as
// UTF-8. A UTF-8 byte order mark is read past, with a warning. Throws CommandError for a file
// that cannot be read at all, or whose charset is none of AcceptedCharsets
// (common/charset_conversion.h).
SourceFile ReadPoFile(const std::string& path);

}  // namespace vykcn::tool

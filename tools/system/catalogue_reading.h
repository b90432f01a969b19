#pragma once
// libgettextpo opens what it reads by name, with the C runtime. The toolkit reads a file once and
// hands the library those very bytes, so that its own scan of the lines and the library see the
// same text, whatever the path's characters (Windows' C runtime opens only ANSI names) and
// without any translation of line ends.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vykcn::tool::system {

// Calls read(name) with a name that libgettextpo's po_file_read reads `bytes` from: on POSIX a
// memory file's /proc/self/fd path; on Windows "-", with the standard input bound meanwhile to a
// temporary file of the bytes. False, with the reason, when no such name can be made.
bool WithCatalogueBytes(const std::vector<uint8_t>& bytes, const std::function<void(const char* name)>& read,
                        std::string* reason);

// Calls read() with libgettextpo's lexer taking the catalogue a byte at a time instead of a
// character at a time through iconv (gettext's OLD_PO_FILE_INPUT, set meanwhile and then removed;
// left as it is when the user set it). For a catalogue whose bytes are UTF-8 and whose header
// names UTF-8 the library reads the same strings and errors either way, as no byte of a UTF-8
// character but an ASCII one is below 0x80; only iconv's cost is saved.
void WithLexerReadingBytes(const std::function<void()>& read);

}  // namespace vykcn::tool::system

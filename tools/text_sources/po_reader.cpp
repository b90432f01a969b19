// libgettextpo gives messages without their line in the PO file, so a light scan of the file's
// lines finds the msgid line of each message (messages come back in file order), and spots NUL
// bytes and \0 escapes, which the library's C strings would silently cut.
#include "text_sources/po_reader.h"

#include <gettext-po.h>

#include <cctype>
#include <csetjmp>
#include <cstring>

#include "common/command_error.h"
#include "common/file_io.h"

namespace vykcn::tool {

namespace {

// libgettextpo reports through C callbacks; a fatal one must not return, so it jumps back out of
// po_file_read (no C++ object lives between the setjmp and the jump).
struct ReadErrors {
  std::string first;
  std::jmp_buf fatal;
};
thread_local ReadErrors* gErrors = nullptr;

void Note(const char* filename, size_t lineno, const char* text) {
  if (!gErrors->first.empty()) return;
  std::string where = filename ? filename : "";
  if (filename && lineno != static_cast<size_t>(-1)) where += ":" + std::to_string(lineno);
  gErrors->first = (where.empty() ? "" : where + ": ") + (text ? text : "error");
  while (!gErrors->first.empty() && gErrors->first.back() == '\n') gErrors->first.pop_back();
}

void OnError(int severity, po_message_t, const char* filename, size_t lineno, size_t, int, const char* text) {
  if (severity == PO_SEVERITY_WARNING) return;
  Note(filename, lineno, text);
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(gErrors->fatal, 1);
}

void OnError2(int severity, po_message_t, const char* filename1, size_t lineno1, size_t, int, const char* text1,
              po_message_t, const char*, size_t, size_t, int, const char*) {
  if (severity == PO_SEVERITY_WARNING) return;
  Note(filename1, lineno1, text1);
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(gErrors->fatal, 1);
}

po_file_t ReadWithLibrary(const char* path, ReadErrors* errors) {
  static const po_xerror_handler handler = {OnError, OnError2};
  gErrors = errors;
  if (setjmp(errors->fatal) != 0) {
    gErrors = nullptr;
    return nullptr;
  }
  po_file_t file = po_file_read(path, &handler);
  gErrors = nullptr;
  return file;
}

struct LineScan {
  std::vector<int> msgidLines;  // of every message, obsolete ones included, in order
  int nulLine = 0;              // first line with a NUL byte or a \0 escape
};

LineScan ScanLines(const std::vector<uint8_t>& bytes) {
  LineScan scan;
  size_t start = 0;
  int line = 1;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    const std::string text(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end));
    if (text.rfind("msgid ", 0) == 0 || text.rfind("#~ msgid ", 0) == 0) scan.msgidLines.push_back(line);
    if (scan.nulLine == 0) {
      if (text.find('\0') != std::string::npos) scan.nulLine = line;
      bool inString = false;
      for (size_t i = 0; i < text.size() && scan.nulLine == 0; ++i) {
        if (!inString) {
          if (text[i] == '#' ) break;
          if (text[i] == '"') inString = true;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
          // Octal (\0, \00, \000) and hex (\x0...) escapes of the value 0.
          size_t j = i + 1;
          int digits = 0;
          unsigned value = 0;
          if (text[j] >= '0' && text[j] <= '7') {
            while (j < text.size() && digits < 3 && text[j] >= '0' && text[j] <= '7') {
              value = value * 8 + static_cast<unsigned>(text[j++] - '0');
              ++digits;
            }
          } else if (text[j] == 'x') {
            ++j;
            while (j < text.size() && std::isxdigit(static_cast<unsigned char>(text[j]))) {
              value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(text[j]))
                                                             ? text[j] - '0'
                                                             : (std::tolower(static_cast<unsigned char>(text[j])) - 'a' + 10));
              if (value > 0xFF) value = 0x100;
              ++j;
              ++digits;
            }
          }
          if (digits > 0 && value == 0) scan.nulLine = line;
          i = digits > 0 ? j - 1 : i + 1;
        } else if (text[i] == '"') {
          inString = false;
        }
      }
    }
    start = end + 1;
    ++line;
  }
  return scan;
}

}  // namespace

std::vector<TextEntry> ReadPoFile(const std::string& path) {
  const LineScan scan = ScanLines(ReadFileBytes(path));
  if (scan.nulLine != 0) throw CommandError(path + ":" + std::to_string(scan.nulLine) + ": a text contains a NUL byte");

  ReadErrors errors;
  po_file_t file = ReadWithLibrary(path.c_str(), &errors);
  if (file == nullptr || !errors.first.empty()) {
    if (file) po_file_free(file);
    throw CommandError(errors.first.empty() ? "cannot read " + path : errors.first);
  }

  std::vector<TextEntry> entries;
  size_t index = 0;  // message index in file order, for its line
  for (const char* const* domain = po_file_domains(file); *domain; ++domain) {
    po_message_iterator_t it = po_message_iterator(file, *domain);
    while (po_message_t message = po_next_message(it)) {
      const int line = index < scan.msgidLines.size() ? scan.msgidLines[index] : 0;
      ++index;
      const char* context = po_message_msgctxt(message);
      const char* msgid = po_message_msgid(message);
      if (po_message_is_obsolete(message)) continue;
      if (msgid[0] == '\0' && context == nullptr) continue;  // the header entry
      TextEntry entry;
      entry.host = msgid;
      entry.context = context ? context : "";
      const char* msgstr = po_message_msgid_plural(message) ? po_message_msgstr_plural(message, 0)
                                                              : po_message_msgstr(message);
      entry.translation = msgstr ? msgstr : "";
      entry.file = path;
      entry.line = line;
      entry.usable = !po_message_is_fuzzy(message) && !entry.translation.empty();
      entries.push_back(std::move(entry));
    }
    po_message_iterator_free(it);
  }
  po_file_free(file);
  return entries;
}

}  // namespace vykcn::tool

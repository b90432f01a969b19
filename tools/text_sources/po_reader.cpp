// libgettextpo gives messages without their line in the PO file, so a light scan of the file's
// lines finds the msgid line of each message (messages come back in file order), and spots NUL
// bytes and \0 escapes, which the library's C strings would silently cut. The library lists the
// messages domain by domain, so the scan keeps the lines of each domain apart. Strings come back
// in the charset of the header, and are turned into UTF-8 here.
#include "text_sources/po_reader.h"

#include <gettext-po.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <type_traits>

#include "common/charset_conversion.h"
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
  // msgid lines of every message, obsolete ones included, in file order, by domain
  std::map<std::string, std::vector<int>> msgidLines;
  std::map<std::string, std::vector<std::string>> flags;  // the "#," flags of the same messages
  int nulLine = 0;  // first line with a NUL byte or a \0 escape
};

// The name in a `domain "NAME"` line.
std::string DomainName(const std::string& line) {
  const size_t open = line.find('"'), close = line.rfind('"');
  return open != std::string::npos && close > open ? line.substr(open + 1, close - open - 1) : "";
}

LineScan ScanLines(const std::vector<uint8_t>& bytes) {
  LineScan scan;
  size_t start = 0;
  int line = 1;
  std::string domain = "messages";  // gettext's default domain
  std::string flags;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    const std::string text(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end));
    if (text.rfind("#,", 0) == 0) flags += text.substr(2) + ",";
    if (text.rfind("msgid ", 0) == 0 || text.rfind("#~ msgid ", 0) == 0) {
      scan.msgidLines[domain].push_back(line);
      scan.flags[domain].push_back(flags);
      flags.clear();
    }
    if (text.rfind("domain ", 0) == 0) domain = DomainName(text);
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

// The charset that a domain's header names (a domain without a header has the first one's);
// UTF-8 when none is named.
std::string HeaderCharset(po_file_t file, const char* domain) {
  const char* header = po_file_domain_header(file, domain);
  if (header == nullptr) header = po_file_domain_header(file, po_file_domains(file)[0]);
  if (header == nullptr) return "UTF-8";
  char* contentType = po_header_field(header, "Content-Type");
  std::string charset;
  if (contentType != nullptr) {
    const std::string value = contentType;
    std::free(contentType);
    const size_t at = value.find("charset=");
    if (at != std::string::npos) {
      size_t end = at + 8;
      while (end < value.size() && !std::isspace(static_cast<unsigned char>(value[end])) && value[end] != ';') ++end;
      charset = value.substr(at + 8, end - at - 8);
    }
  }
  return charset.empty() ? "UTF-8" : charset;
}

// printf directives are checked unless the flags name another format, or none ("no-c-format").
bool PrintfChecked(const std::string& flags) {
  bool otherFormat = false;
  size_t start = 0;
  while (start < flags.size()) {
    size_t end = flags.find_first_of(", \t", start);
    if (end == std::string::npos) end = flags.size();
    const std::string flag = flags.substr(start, end - start);
    if (flag == "c-format" || flag == "possible-c-format") return true;
    if (flag.size() > 7 && flag.compare(flag.size() - 7, 7, "-format") == 0) otherFormat = true;
    start = end + 1;
  }
  return !otherFormat;
}

}  // namespace

std::vector<TextEntry> ReadPoFile(const std::string& path, size_t* obsoleteCount) {
  const LineScan scan = ScanLines(ReadFileBytes(path));
  if (scan.nulLine != 0) throw CommandError(path + ":" + std::to_string(scan.nulLine) + ": a text contains a NUL byte");

  ReadErrors errors;
  po_file_t file = ReadWithLibrary(path.c_str(), &errors);
  if (file == nullptr || !errors.first.empty()) {
    if (file) po_file_free(file);
    throw CommandError(errors.first.empty() ? "cannot read " + path : errors.first);
  }
  std::unique_ptr<std::remove_pointer_t<po_file_t>, void (*)(po_file_t)> owner(file, po_file_free);

  std::vector<TextEntry> entries;
  size_t obsolete = 0;
  for (const char* const* domain = po_file_domains(file); *domain; ++domain) {
    const auto lines = scan.msgidLines.find(*domain);
    const auto flags = scan.flags.find(*domain);
    size_t index = 0;  // message index in the domain, for its line
    const std::string charset = HeaderCharset(file, *domain);
    std::unique_ptr<CharsetConverter> converter;
    if (!IsUtf8Compatible(charset)) {
      try {
        converter = std::make_unique<CharsetConverter>(charset);
      } catch (const CommandError& e) {
        throw CommandError(path + ": " + e.what());
      }
    }
    std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, void (*)(po_message_iterator_t)> it(
        po_message_iterator(file, *domain), po_message_iterator_free);
    while (po_message_t message = po_next_message(it.get())) {
      const bool known = lines != scan.msgidLines.end() && index < lines->second.size();
      const int line = known ? lines->second[index] : 0;
      const std::string messageFlags = known ? flags->second[index] : "";
      ++index;
      const char* context = po_message_msgctxt(message);
      const char* msgid = po_message_msgid(message);
      if (po_message_is_obsolete(message)) {
        ++obsolete;
        continue;
      }
      if (msgid[0] == '\0' && context == nullptr) continue;  // the header entry
      TextEntry entry;
      entry.host = msgid;
      entry.context = context ? context : "";
      entry.hasContext = context != nullptr;
      entry.plural = po_message_msgid_plural(message) != nullptr;
      if (entry.plural) entry.pluralHost = po_message_msgid_plural(message);
      const char* msgstr = entry.plural ? po_message_msgstr_plural(message, 0) : po_message_msgstr(message);
      entry.translation = msgstr ? msgstr : "";
      entry.file = path;
      entry.line = line;
      if (converter) {
        for (std::string* text : {&entry.host, &entry.translation, &entry.pluralHost, &entry.context}) {
          std::string utf8;
          if (!converter->ToUtf8(*text, &utf8)) {
            throw CommandError(Place(entry) + ": a text is not valid " + charset + ", the header's charset");
          }
          *text = std::move(utf8);
        }
      }
      entry.fuzzy = po_message_is_fuzzy(message) != 0;
      entry.printfFormat = PrintfChecked(messageFlags);
      entry.usable = !entry.fuzzy && !entry.translation.empty();
      entries.push_back(std::move(entry));
    }
  }
  // Domains come one after the other; translators think in file order.
  std::stable_sort(entries.begin(), entries.end(), [](const TextEntry& a, const TextEntry& b) { return a.line < b.line; });
  if (obsoleteCount != nullptr) *obsoleteCount = obsolete;
  return entries;
}

}  // namespace vykcn::tool

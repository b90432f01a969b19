// libgettextpo parses the file: it reports every syntax error with its line and goes on at the next
// message, as msgfmt does, but gives the messages back without their place in the file. A light
// scan of the file's lines finds each message's msgid line and "#," flags, matched to the
// library's messages by their msgid in file order (so that a message the library dropped for an
// error shifts no other message's line), and spots NUL bytes and \0 escapes, which the library's
// C strings would silently cut. The library lists the messages domain by domain, so the scan keeps
// each domain's messages apart. Strings come back in the charset of the header, and are turned
// into UTF-8 here.
#include "text_sources/po_reader.h"

#include <gettext-po.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <type_traits>

#include "base/utf8.h"
#include "common/charset_conversion.h"
#include "common/command_error.h"
#include "common/file_io.h"
#include "system/catalogue_reading.h"

namespace vykcn::tool {

namespace {

// libgettextpo reports through C callbacks; a fatal one must not return, so it jumps back out of
// po_file_read (no C++ object lives between the setjmp and the jump).
struct ReadErrors {
  std::vector<Problem> errors;  // in the order reported
  std::jmp_buf fatal;
};
thread_local ReadErrors* gErrors = nullptr;

void Note(size_t lineno, const char* text, std::string more = "") {
  std::string message = text ? text : "error";
  while (!message.empty() && message.back() == '\n') message.pop_back();
  int line = lineno == static_cast<size_t>(-1) ? 0 : static_cast<int>(lineno);
  // The library notices an unclosed string after reading past its line end, and names the next line.
  if (message == "end-of-line within string" && line > 1) --line;
  // One slip often gives several messages at one line ("keyword unknown", "syntax error"): the first
  // names it best.
  for (const Problem& error : gErrors->errors) {
    if (error.line == line && line != 0) return;
  }
  gErrors->errors.push_back({-1, "", line, Severity::kError, message + more});
}

void OnError(int severity, po_message_t, const char*, size_t lineno, size_t, int, const char* text) {
  if (severity == PO_SEVERITY_WARNING) return;
  if (severity == PO_SEVERITY_FATAL_ERROR) {
    Note(lineno, text);
    std::longjmp(gErrors->fatal, 1);
  }
  Note(lineno, text);
}

void OnError2(int severity, po_message_t, const char*, size_t lineno1, size_t, int, const char* text1,
              po_message_t, const char*, size_t lineno2, size_t, int, const char*) {
  if (severity == PO_SEVERITY_WARNING) return;
  // The library does not always know the other place (a duplicate's first definition).
  const bool other = lineno2 != static_cast<size_t>(-1) && lineno2 != 0;
  Note(lineno1, text1, other ? " (see line " + std::to_string(lineno2) + ")" : "");
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

struct ScannedMessage {
  int line;           // of its msgid keyword
  std::string msgid;  // as the library gives it back: escapes resolved, in the file's charset
  std::string flags;  // its "#," comments
  bool obsolete;      // written with "#~"
};

struct LineScan {
  std::map<std::string, std::vector<ScannedMessage>> messages;  // obsolete ones included, by domain
  std::vector<int> messageLines;  // every msgid line, in order, of all domains
  std::vector<int> nulLines;      // lines with a NUL byte or a \0 escape
  std::map<std::string, int> charsetLines;  // by domain, the first line that names a charset
};

// The name in a `domain "NAME"` line.
std::string DomainName(std::string_view line) {
  const size_t open = line.find('"'), close = line.rfind('"');
  return open != std::string_view::npos && close > open ? std::string(line.substr(open + 1, close - open - 1)) : "";
}

int HexValue(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// The string that starts at the first quote of `text`, its C escapes resolved, appended to *value;
// *hasNul is set for an escape of the value 0 (octal \0, \00, \000 or hex \x0...), which the
// library would cut at.
void QuotedString(std::string_view text, bool* hasNul, std::string* value) {
  size_t i = text.find('"');
  if (i == std::string_view::npos) return;
  for (++i; i < text.size() && text[i] != '"'; ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      // The plain characters up to the next quote or backslash, at once.
      size_t end = i + 1;
      while (end < text.size() && text[end] != '"' && text[end] != '\\') ++end;
      value->append(text.substr(i, end - i));
      i = end - 1;
      continue;
    }
    const char c = text[++i];
    if (c >= '0' && c <= '7') {
      unsigned code = 0;
      for (int digits = 0; digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++digits) {
        code = code * 8 + static_cast<unsigned>(text[i++] - '0');
      }
      --i;
      if ((code & 0xFF) == 0) *hasNul = true;
      *value += static_cast<char>(code);
    } else if (c == 'x' && i + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
      unsigned code = 0;
      while (i + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
        code = std::min(code * 16 + static_cast<unsigned>(HexValue(text[++i])), 0x100u);
      }
      if (code == 0) *hasNul = true;
      *value += static_cast<char>(code);
    } else {
      static const char kEscapes[] = "n\nt\tr\rb\bf\fv\va\a";
      // strchr finds the table's terminator for a NUL (a backslash before a NUL byte).
      const char* escape = c != '\0' ? std::strchr(kEscapes, c) : nullptr;
      *value += escape != nullptr && (escape - kEscapes) % 2 == 0 ? escape[1] : c;
    }
  }
}

LineScan ScanLines(const std::vector<uint8_t>& bytes) {
  LineScan scan;
  const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  size_t start = 0;
  int line = 1;
  std::string domain = "messages";  // gettext's default domain
  std::vector<ScannedMessage>* domainMessages = &scan.messages[domain];
  std::string flags;
  ScannedMessage* open = nullptr;  // the message whose msgid is still being read
  std::string ignored;
  while (start < all.size()) {
    const size_t end = std::min(all.find('\n', start), all.size());
    const std::string_view text = all.substr(start, end - start);
    std::string_view content = text;
    const bool obsolete = content.substr(0, 2) == "#~";
    if (obsolete) {  // an obsolete message's lines
      size_t skip = 2;
      while (skip < content.size() && (content[skip] == ' ' || content[skip] == '\t')) ++skip;
      content.remove_prefix(skip);
    }
    bool hasNul = text.find('\0') != std::string_view::npos;
    if (content.substr(0, 2) == "#,") {
      flags.append(content.substr(2)).append(",");
    } else if (content.substr(0, 6) == "msgid " || content.substr(0, 6) == "msgid\t") {
      domainMessages->push_back({line, "", flags, obsolete});
      open = &domainMessages->back();
      QuotedString(content, &hasNul, &open->msgid);
      scan.messageLines.push_back(line);
      flags.clear();
    } else if (!content.empty() && content[0] == '"') {
      if (open != nullptr) {
        QuotedString(content, &hasNul, &open->msgid);
      } else if (content.find('\\') != std::string_view::npos) {
        ignored.clear();
        QuotedString(content, &hasNul, &ignored);
      }
    } else if (!content.empty() && content[0] != '#') {
      open = nullptr;
      if (content.substr(0, 7) == "domain ") {
        domain = DomainName(content);
        domainMessages = &scan.messages[domain];
      }
      // msgstr, msgctxt, msgid_plural: only their NULs matter here, which only an escape can write
      if (content.find('\\') != std::string_view::npos) {
        ignored.clear();
        QuotedString(content, &hasNul, &ignored);
      }
    }
    if (hasNul) scan.nulLines.push_back(line);
    if ((content.empty() || content[0] != '#') && content.find("charset=") != std::string_view::npos) {
      scan.charsetLines.emplace(domain, line);
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

// A few characters of a text from its first multi-byte one, up to a line feed or another control
// character, for a message to quote; "..." where the text goes on.
std::string Sample(const std::string& text) {
  constexpr size_t kShown = 8;
  const size_t start = static_cast<size_t>(
      std::find_if(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; }) - text.begin());
  size_t at = start, shown = 0;
  uint32_t code = 0;
  while (at < text.size() && shown < kShown && DecodeUtf8Char(text, &at, &code) && code >= 0x20) ++shown;
  return (start > 0 ? "..." : "") + text.substr(start, at - start) + (at < text.size() ? "..." : "");
}

// When every text of the domain's messages is valid UTF-8 and one holds a multi-byte character,
// the start of the first such text (a translation's if any); empty otherwise. A single-byte text
// is valid UTF-8 so only by chance: an accented letter alone ("caf\xE9") never is. The header,
// which the game never shows, is left out.
std::string Utf8Sample(po_file_t file, const char* domain) {
  std::string translationSample, otherSample;
  // False for a text that is not UTF-8; the first text with a multi-byte character gives *sample.
  const auto look = [](const char* text, std::string* sample) {
    if (text == nullptr) return true;
    if (!IsValidUtf8(text)) return false;
    const bool multiByte = std::any_of(text, text + std::strlen(text), [](char c) { return (c & 0x80) != 0; });
    if (multiByte && sample->empty()) *sample = Sample(text);
    return true;
  };
  std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, void (*)(po_message_iterator_t)> it(
      po_message_iterator(file, domain), po_message_iterator_free);
  while (po_message_t message = po_next_message(it.get())) {
    if (po_message_msgid(message)[0] == '\0' && po_message_msgctxt(message) == nullptr) continue;
    const bool plural = po_message_msgid_plural(message) != nullptr;
    bool valid = look(plural ? nullptr : po_message_msgstr(message), &translationSample);
    for (int form = 0; plural && valid && po_message_msgstr_plural(message, form) != nullptr; ++form) {
      valid = look(po_message_msgstr_plural(message, form), &translationSample);
    }
    const char* others[] = {po_message_msgid(message), po_message_msgid_plural(message), po_message_msgctxt(message)};
    for (const char* text : others) valid = valid && look(text, &otherSample);
    if (!valid) return "";
  }
  return translationSample.empty() ? otherSample : translationSample;
}

// The text as a reader that trusts the single-byte charset sees it, a byte a character; a byte
// that is no printable character of the charset shows as \xNN.
std::string ReadByteByByte(CharsetConverter* converter, const std::string& text) {
  std::string shown;
  for (char byte : text) {
    std::string character;
    size_t at = 0;
    uint32_t code = 0;
    if (converter->ToUtf8(std::string(1, byte), &character) && DecodeUtf8Char(character, &at, &code) &&
        code >= 0x20 && (code < 0x7F || code >= 0xA0)) {
      shown += character;
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      const auto value = static_cast<unsigned char>(byte);
      shown += std::string("\\x") + kHex[value >> 4] + kHex[value & 15];
    }
  }
  return shown;
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

// The scanned message with this msgid, at or after *next in the domain's list; *next moves past it.
const ScannedMessage* MatchScanned(const std::vector<ScannedMessage>* scanned, size_t* next, const char* msgid) {
  if (scanned == nullptr) return nullptr;
  for (size_t i = *next; i < scanned->size(); ++i) {
    if ((*scanned)[i].msgid == msgid) {
      *next = i + 1;
      return &(*scanned)[i];
    }
  }
  return nullptr;
}

// Whether an error lies within the message whose msgid is at `line` (up to the next message's).
bool HasErrorWithin(const std::vector<Problem>& errors, const std::vector<int>& messageLines, int line) {
  const auto next = std::upper_bound(messageLines.begin(), messageLines.end(), line);
  const int end = next == messageLines.end() ? INT32_MAX : *next;
  return std::any_of(errors.begin(), errors.end(),
                     [&](const Problem& e) { return e.line >= line && e.line < end; });
}

// Each NUL is an error at its line, and the message it is written in is left out: its texts were cut.
void DropMessagesWithNul(const LineScan& scan, SourceFile* file) {
  for (int nulLine : scan.nulLines) {
    file->problems.push_back({-1, file->path, nulLine, Severity::kError, "a text contains a NUL byte"});
    const auto after = std::upper_bound(scan.messageLines.begin(), scan.messageLines.end(), nulLine);
    if (after == scan.messageLines.begin()) continue;
    const int owner = *(after - 1);
    file->entries.erase(std::remove_if(file->entries.begin(), file->entries.end(),
                                       [owner](const TextEntry& e) { return e.line == owner; }),
                        file->entries.end());
  }
}

// The messages left out, each for an error at its line (one the library skipped, a duplicate, a
// NUL, a text not valid in the charset): those the scan saw that no entry holds, headers aside.
void CountUnreadable(const LineScan& scan, SourceFile* file) {
  std::vector<int> read;
  read.reserve(file->entries.size());
  for (const TextEntry& entry : file->entries) read.push_back(entry.line);
  std::sort(read.begin(), read.end());
  for (const auto& [domain, messages] : scan.messages) {
    for (const ScannedMessage& message : messages) {
      if (!message.obsolete && !message.msgid.empty() && !std::binary_search(read.begin(), read.end(), message.line)) {
        ++file->unreadable;
      }
    }
  }
}

// Whether the library may lex the file a byte at a time (system::WithLexerReadingBytes): its bytes
// are UTF-8, and every charset it names anywhere is UTF-8 (a name split or escaped, or any other,
// keeps the library's own way).
bool LexedAsBytes(const std::vector<uint8_t>& bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  constexpr std::string_view kCharset = "charset=";
  const std::boyer_moore_horspool_searcher searcher(kCharset.begin(), kCharset.end());
  for (auto found = std::search(text.begin(), text.end(), searcher); found != text.end();
       found = std::search(found + 1, text.end(), searcher)) {
    const size_t start = static_cast<size_t>(found - text.begin()) + kCharset.size();
    const size_t end = std::min(text.find_first_of(" \t\n\\\"", start), text.size());
    std::string name(text.substr(start, end - start));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name != "UTF-8" && name != "UTF8") return false;
  }
  for (size_t at = 0; at < text.size();) {  // IsValidUtf8, passing over ASCII bytes eight at a time
    if (at + 8 <= text.size()) {
      uint64_t eight = 0;
      std::memcpy(&eight, text.data() + at, 8);
      if ((eight & 0x8080808080808080u) == 0) {
        at += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    uint32_t code = 0;
    if (!DecodeUtf8Char(text, &at, &code)) return false;
  }
  return true;
}

// Calls read() with libgettextpo's lexer taking the catalogue a byte at a time instead of a
// character at a time through iconv (gettext's OLD_PO_FILE_INPUT, set meanwhile and then removed;
// left as it is when the user set it). For a catalogue that LexedAsBytes, the library reads the
// same strings and reports the same errors at the same lines either way, as no byte of a UTF-8
// character but an ASCII one is below 0x80; only iconv's cost is saved.
void WithLexerReadingBytes(const std::function<void()>& read) {
  constexpr const char* kName = "OLD_PO_FILE_INPUT";
  const char* given = std::getenv(kName);
  if ((given != nullptr && *given != '\0') || !system::SetProcessVariable(kName, "1")) {
    read();
    return;
  }
  struct Remover {
    const char* name;
    ~Remover() { system::SetProcessVariable(name, ""); }
  } remover{kName};
  read();
}

}  // namespace

SourceFile ReadPoFile(const std::string& path) {
  SourceFile result;
  result.path = path;
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  const bool byteOrderMark = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
  if (byteOrderMark) {
    result.problems.push_back({-1, path, 1, Severity::kWarning,
                               "a UTF-8 byte order mark, which gettext's tools refuse: read as UTF-8",
                               warning_class::kEncoding});
    bytes.erase(bytes.begin(), bytes.begin() + 3);
  }
  const LineScan scan = ScanLines(bytes);

  // The library reads the very bytes scanned (the file's, past a byte order mark).
  ReadErrors errors;
  po_file_t file = nullptr;
  std::string reason;
  const bool asBytes = LexedAsBytes(bytes);
  const auto read = [&](const char* name) {
    if (asBytes) {
      WithLexerReadingBytes([&] { file = ReadWithLibrary(name, &errors); });
    } else {
      file = ReadWithLibrary(name, &errors);
    }
  };
  bool handed = false;
  {
    // libgettextpo keeps the state of the catalogue it parses in the process (and the lexer's
    // switch above is a variable of the process's environment): one file is parsed at a time.
    // What is read out of a parsed catalogue is the catalogue's own, and needs no lock.
    static std::mutex libraryLock;
    const std::lock_guard<std::mutex> oneAtATime(libraryLock);
    handed = system::WithCatalogueBytes(bytes, read, &reason);
  }
  if (!handed) {
    throw CommandError(path, 0, "cannot hand the file to libgettextpo: " + reason);
  }
  if (file == nullptr) {
    const std::string why = errors.errors.empty() ? "cannot read " + path : errors.errors.back().message;
    throw CommandError(path, 0, why);
  }
  std::unique_ptr<std::remove_pointer_t<po_file_t>, void (*)(po_file_t)> owner(file, po_file_free);
  for (Problem& error : errors.errors) error.file = path;  // the library's callbacks know no file
  result.problems.insert(result.problems.end(), errors.errors.begin(), errors.errors.end());

  result.entries.reserve(scan.messageLines.size());
  for (const char* const* domain = po_file_domains(file); *domain; ++domain) {
    const auto scanned = scan.messages.find(*domain);
    const std::vector<ScannedMessage>* domainMessages = scanned == scan.messages.end() ? nullptr : &scanned->second;
    size_t next = 0;
    const std::string charset = HeaderCharset(file, *domain);
    std::unique_ptr<CharsetConverter> converter;
    if (!IsUtf8Compatible(charset)) {
      try {
        converter = std::make_unique<CharsetConverter>(charset);
      } catch (const CommandError& e) {
        throw CommandError(path, 0, e.problem.message);
      }
      // UTF-8 under a single-byte charset's name: every multi-byte character would become two to
      // four wrong ones, and a host text would be keyed under its wrong bytes. The file is read
      // as UTF-8, so that the other checks still see what was meant.
      const std::string sample = converter->SingleByte() ? Utf8Sample(file, *domain) : "";
      if (!sample.empty()) {
        const auto line = scan.charsetLines.find(*domain);
        const int at = line != scan.charsetLines.end() ? line->second : 0;
        const std::string message = "the header declares charset=" + charset + ", but the texts are UTF-8 (\"" +
                                    sample + "\" would become \"" + ReadByteByByte(converter.get(), sample) +
                                    "\"); write charset=UTF-8";
        const bool said = std::any_of(result.problems.begin(), result.problems.end(),
                                      [&](const Problem& p) { return p.line == at && p.message == message; });
        if (!said) result.problems.push_back({-1, path, at, Severity::kError, message});
        converter.reset();
      }
    }
    std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, void (*)(po_message_iterator_t)> it(
        po_message_iterator(file, *domain), po_message_iterator_free);
    while (po_message_t message = po_next_message(it.get())) {
      const char* msgid = po_message_msgid(message);
      const ScannedMessage* place = MatchScanned(domainMessages, &next, msgid);
      if (po_message_is_obsolete(message)) {
        ++result.obsolete;
        continue;
      }
      const char* context = po_message_msgctxt(message);
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
      entry.line = place != nullptr ? place->line : 0;
      if (converter) {
        bool converted = true;
        for (std::string* text : {&entry.host, &entry.translation, &entry.pluralHost, &entry.context}) {
          std::string utf8;
          converted = converted && converter->ToUtf8(*text, &utf8);
          *text = std::move(utf8);
        }
        if (!converted) {
          // The library may have said so already, at the very line.
          if (!HasErrorWithin(errors.errors, scan.messageLines, entry.line)) {
            result.problems.push_back(
                {-1, path, entry.line, Severity::kError, "a text is not valid " + charset + ", the header's charset"});
          }
          continue;
        }
      }
      // A translation that is not UTF-8 where the library said so at its very line is that one
      // error; one written with escapes is the entry check's.
      if (!errors.errors.empty() && HasErrorWithin(errors.errors, scan.messageLines, entry.line) &&
          !IsValidUtf8(entry.translation)) {
        continue;
      }
      entry.fuzzy = po_message_is_fuzzy(message) != 0;
      entry.printfFormat = PrintfChecked(place != nullptr ? place->flags : "");
      entry.usable = !entry.fuzzy && !entry.translation.empty();
      result.entries.push_back(std::move(entry));
    }
  }
  DropMessagesWithNul(scan, &result);
  CountUnreadable(scan, &result);
  // Domains come one after the other; translators think in file order (which a file of one domain
  // is in already, and is not moved again).
  const auto byLine = [](const auto& a, const auto& b) { return a.line < b.line; };
  if (!std::is_sorted(result.entries.begin(), result.entries.end(), byLine)) {
    std::stable_sort(result.entries.begin(), result.entries.end(), byLine);
  }
  std::stable_sort(result.problems.begin(), result.problems.end(), byLine);
  return result;
}

}  // namespace vykcn::tool

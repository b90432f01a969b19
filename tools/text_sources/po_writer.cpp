#include "text_sources/po_writer.h"

#include "base/utf8.h"
#include "text_sources/po_wrap.h"

namespace vykcn::tool {
namespace {

std::string CommentSafe(const std::string& text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    uint32_t codePoint = 0;
    const size_t start = at;
    if (byte >= 0x80 && DecodeUtf8Char(text, &at, &codePoint)) {
      out.append(text, start, at - start);
    } else {
      out += byte < 0x20 || byte == 0x7F || byte >= 0x80 ? '?' : text[at];
      ++at;
    }
  }
  return out;
}

// "#: FILE:LINE"; gettext reads a space as the end of a reference, unless the name is isolated.
std::string ReferenceLine(const std::string& file, int line) {
  std::string name = CommentSafe(file);
  if (name.find_first_of(" \t") != std::string::npos) name = "\u2068" + name + "\u2069";
  return "#: " + name + (line > 0 ? ":" + std::to_string(line) : "");
}

void AddString(std::string* out, const std::string& keyword, const std::string& text) {
  for (const std::string& line : PoStringLines(keyword, text)) *out += line + "\n";
}

}  // namespace

std::string WritePoCatalogue(const PoCatalogue& catalogue) {
  std::string out;
  for (const std::string& comment : catalogue.headerComments) out += "# " + CommentSafe(comment) + "\n";
  AddString(&out, "msgid", "");
  AddString(&out, "msgstr",
            "Project-Id-Version: \n"
            "PO-Revision-Date: \n"
            "Last-Translator: \n"
            "Language-Team: \n"
            "Language: " + catalogue.language + "\n"
            "MIME-Version: 1.0\n"
            "Content-Type: text/plain; charset=UTF-8\n"
            "Content-Transfer-Encoding: 8bit\n");
  for (const PoMessage& message : catalogue.messages) {
    out += "\n";
    if (!message.file.empty()) out += ReferenceLine(message.file, message.line) + "\n";
    if (message.hasContext) AddString(&out, "msgctxt", message.context);
    AddString(&out, "msgid", message.msgid);
    AddString(&out, "msgstr", message.msgstr);
  }
  return out;
}

}  // namespace vykcn::tool

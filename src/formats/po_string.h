#pragma once
// A PO string: the bytes between a PO file's quotes, escaped so that a reader (libgettextpo, msgfmt)
// gets the very bytes back. Written once for the capture build's catalogue and for the toolkit,
// which differ only in the style below. Allocates nothing: the escaped text goes to a sink.
//
// Never in the shipped module: its own library, linked by the capture build and the toolkit
// (scripts/check-layout.sh keeps its header out of the shipped sources, a test its code out of the
// link map).
#include <cstddef>
#include <string_view>

namespace vykcn {

// Where the escaped text goes, a piece at a time.
class PoStringSink {
 public:
  virtual ~PoStringSink() = default;
  virtual void Append(const char* data, size_t size) = 0;
};

struct PoStringStyle {
  // \a \b \f \r \v as gettext's letters, as msgcat writes them; otherwise in octal, as every other
  // control byte is.
  bool controlLetters = true;
  // Characters a reader may not see for what they are (C1 controls, the line and paragraph
  // separators, the byte order mark) in octal, byte by byte.
  bool octalInvisible = false;
  // An inner line feed (one that is not the last byte) closes the string, and the text goes on in
  // a string of its own on the next line, as msgcat writes a message of several lines.
  bool breakAfterLineFeeds = false;
};

// The toolkit's style: gettext's letters, every character as it is, one string.
constexpr PoStringStyle kGettextPoStyle{};
// The capture catalogue's: what a translator could not see escaped, a line of the file a line of the text.
constexpr PoStringStyle kCapturePoStyle{false, true, true};

// Writes `bytes` escaped: \n \t \" \\ (and, by the style, gettext's other letters); printable
// ASCII and well-formed UTF-8 as they are (but, by the style, invisible characters); every other
// byte as a three-digit octal escape.
void WritePoString(std::string_view bytes, const PoStringStyle& style, PoStringSink& out);

}  // namespace vykcn

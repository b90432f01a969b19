#pragma once
// Texts as gettext's tools write them between the quotes of a PO string, in a string of their own
// (the escapes are written once, in formats/po_string.h, with the capture catalogue's).
#include <string>

namespace vykcn::tool {

// The C escapes gettext writes (\n \t \" \\ \a \b \f \r \v); every other control byte, and every
// byte outside well-formed UTF-8, as a three-digit octal escape, so that a reader gets the very
// bytes back. Other characters as they are.
std::string EscapedPoText(const std::string& bytes);

// The text in double quotes, escaped as above: how the toolkit shows a text in full.
std::string QuotedPoText(const std::string& bytes);

}  // namespace vykcn::tool

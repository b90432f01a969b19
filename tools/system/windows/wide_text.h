#pragma once
// UTF-8, the toolkit's text, to and from UTF-16, the text of Windows' own calls; and the system's
// errors as the phrases the toolkit's messages use on every platform.
#include <string>

namespace vykcn::tool::system {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const wchar_t* utf16, size_t length);
std::string Narrow(const std::wstring& utf16);

// A Win32 error code as a phrase: the POSIX wording for the errors both platforms share
// ("No such file or directory"), the system's own message for the rest.
std::string ErrorPhrase(unsigned long error);
// The calling thread's last error, as ErrorPhrase gives it.
std::string LastErrorPhrase();

}  // namespace vykcn::tool::system

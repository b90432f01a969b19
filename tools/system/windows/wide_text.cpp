#include "system/windows/wide_text.h"

#include <windows.h>

namespace vykcn::tool::system {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return L"";
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string Narrow(const wchar_t* utf16, size_t length) {
  if (length == 0) return "";
  const int size = WideCharToMultiByte(CP_UTF8, 0, utf16, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

std::string Narrow(const std::wstring& utf16) { return Narrow(utf16.data(), utf16.size()); }

std::string ErrorPhrase(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    case ERROR_FILENAME_EXCED_RANGE:
      return "File name too long";
    case ERROR_INVALID_NAME:
      return "Invalid file name";
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string phrase = length > 0 ? Narrow(text, length) : "system error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  // The system's messages end in a full stop and a line break; the toolkit's phrases do not.
  while (!phrase.empty() && (phrase.back() == '\n' || phrase.back() == '\r' || phrase.back() == ' ' || phrase.back() == '.')) {
    phrase.pop_back();
  }
  return phrase;
}

std::string LastErrorPhrase() { return ErrorPhrase(GetLastError()); }

}  // namespace vykcn::tool::system

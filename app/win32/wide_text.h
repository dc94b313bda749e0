// UTF-8, the program's text, to and from UTF-16, the text of the Windows calls.
#pragma once

#include <string>

namespace app {

// Bytes that are not UTF-8 become U+FFFD, so that a message always reaches the screen.
std::wstring Widen(const std::string& utf8);
// Unpaired surrogates become U+FFFD.
std::string Narrow(const std::wstring& utf16);

// The system's description of an error code (GetLastError), without the trailing line end.
std::string SystemMessage(unsigned long code);

}  // namespace app

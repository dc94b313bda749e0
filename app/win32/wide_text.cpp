#include "app/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace app {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int n = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), wide);
    return out;
}

std::string Narrow(const std::wstring& utf16) {
    if (utf16.empty() || utf16.size() > INT_MAX) return {};
    const int n = static_cast<int>(utf16.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string SystemMessage(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", n);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.' ||
                                message.back() == L' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : Narrow(message);
}

}  // namespace app

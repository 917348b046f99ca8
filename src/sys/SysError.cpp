#include "sys/SysError.h"
#include "sys/Handles.h"
#include "sys/Text.h"

namespace sys {

SysError::SysError(const std::wstring& action, const std::wstring& path, DWORD code)
    : Error(action + L":\r\n" + Shortened(path) + L"\r\n\r\n" + SystemMessage(code)) {}

Refusal::Refusal(const std::wstring& what, const std::wstring& path, const std::wstring& why)
    : Error(what + L":\r\n" + Shortened(path) + L"\r\n\r\n" + why + (why.empty() ? L"" : L" ") +
                L"Nothing was copied, compiled or deleted.",
            what + L":\r\n" + Shortened(path) + (why.empty() ? L"" : L"\r\n\r\n" + why)) {}

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const unique_hlocal buffer(text);
    std::wstring message = length != 0 ? std::wstring(text, length) : std::wstring();
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = L"System error " + std::to_wstring(code) + L".";
    }
    return message;
}

} // namespace sys

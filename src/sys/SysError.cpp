#include "sys/SysError.h"
#include "sys/Handles.h"
#include "sys/Text.h"

namespace sys {

namespace {

std::string Describe(const std::string& action, const std::string& path, DWORD code) {
    return action + ":\r\n" + Shortened(path) + "\r\n\r\n" + SystemMessage(code);
}

} // namespace

SysError::SysError(const std::string& action, const std::string& path, DWORD code)
    : std::runtime_error(Describe(action, path, code)), action_(action), path_(path), code_(code) {}

Refusal::Refusal(const std::wstring& what, const std::wstring& path, const std::wstring& why)
    : Refusal(what + L":\r\n" + Shortened(path) + L"\r\n\r\n" + why + (why.empty() ? L"" : L" ") +
              L"Nothing was copied, compiled or deleted.") {}

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    const unique_hlocal buffer(text);
    std::string message = length != 0 ? std::string(text, length) : std::string();
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "System error " + std::to_string(code) + ".";
    }
    return message;
}

} // namespace sys

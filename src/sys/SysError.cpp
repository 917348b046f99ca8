#include "sys/SysError.h"

namespace sys {

namespace {

// A path of thousands of characters would push the message box off the screen.
std::string Shown(const std::string& path) {
    constexpr std::string::size_type kEnds = 120;
    return path.size() <= 2 * kEnds + 20
               ? path
               : path.substr(0, kEnds) + " ... " + path.substr(path.size() - kEnds);
}

std::string Describe(const std::string& action, const std::string& path, DWORD code) {
    return action + ":\r\n" + Shown(path) + "\r\n\r\n" + SystemMessage(code);
}

} // namespace

SysError::SysError(const std::string& action, const std::string& path, DWORD code)
    : std::runtime_error(Describe(action, path, code)), action_(action), path_(path), code_(code) {}

std::string SystemMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length != 0 ? std::string(buffer, length) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "System error " + std::to_string(code) + ".";
    }
    return text;
}

} // namespace sys

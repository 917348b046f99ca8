#include "app/Arguments.h"
#include "sys/Text.h"

namespace app {

namespace {
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
} // namespace

std::wstring ArgumentText(const std::wstring& commandLine) {
    std::wstring::size_type at = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const auto closing = commandLine.find(L'"', 1);
        at = closing == std::wstring::npos ? commandLine.size() : closing + 1;
    }
    while (at < commandLine.size() && !IsBlank(commandLine[at])) {
        ++at;
    }
    while (at < commandLine.size() && IsBlank(commandLine[at])) {
        ++at;
    }
    return commandLine.substr(at);
}

bool HasSourceExtension(const std::wstring& sourcePath) {
    const auto start = sourcePath.size() > 3 ? sourcePath.size() - 3 : 0;
    std::wstring tail;
    for (auto i = start; i < sourcePath.size(); ++i) {
        tail += sys::ToLowerAscii(sourcePath[i]);
    }
    return tail == L"mq4";
}

} // namespace app

#include "app/Arguments.h"
#include "sys/Folders.h"
#include "sys/Text.h"

#include <cwchar>

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

Arguments ParseArguments(const std::wstring& argumentText) {
    const std::size_t length = std::wcslen(kTerminalSwitch);
    if (!sys::SameName(argumentText.substr(0, length), kTerminalSwitch)) {
        return {{}, sys::RemoveQuotes(argumentText)};
    }
    std::wstring::size_type at = length;
    std::wstring terminal;
    if (at < argumentText.size() && argumentText[at] == L'"') {
        const auto closing = argumentText.find(L'"', at + 1);
        terminal = argumentText.substr(at + 1, closing - at - 1);
        at = closing == std::wstring::npos ? argumentText.size() : closing + 1;
    } else {
        while (at < argumentText.size() && !IsBlank(argumentText[at])) {
            terminal += argumentText[at++];
        }
    }
    while (at < argumentText.size() && IsBlank(argumentText[at])) {
        ++at;
    }
    return {terminal, sys::RemoveQuotes(argumentText.substr(at))};
}

} // namespace app

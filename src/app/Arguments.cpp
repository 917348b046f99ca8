#include "app/Arguments.h"
#include "sys/Folders.h"
#include "sys/Text.h"

#include <cwchar>

namespace app {

namespace {

constexpr const wchar_t* kNothingDone = L"\r\n\r\nNothing was copied, compiled or deleted.";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring::size_type SkipBlanks(const std::wstring& text, std::wstring::size_type at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    return at;
}

bool StartsWith(const std::wstring& text, std::wstring::size_type at, const wchar_t* word) {
    return sys::SameName(text.substr(at, std::wcslen(word)), word);
}

// Two or more quoted paths separated by blanks, each a source; anything else is one source, as a
// path with blanks that nobody quoted is.
std::vector<std::wstring> Sources(const std::wstring& rest) {
    std::vector<std::wstring> quoted;
    for (auto at = SkipBlanks(rest, 0); at < rest.size(); at = SkipBlanks(rest, at)) {
        const auto closing = rest[at] == L'"' ? rest.find(L'"', at + 1) : std::wstring::npos;
        if (closing == std::wstring::npos ||
            (closing + 1 < rest.size() && !IsBlank(rest[closing + 1]))) {
            quoted.clear();
            break;
        }
        quoted.push_back(rest.substr(at + 1, closing - at - 1));
        at = closing + 1;
    }
    if (quoted.size() >= 2) {
        return quoted;
    }
    return rest.empty() ? std::vector<std::wstring>{}
                        : std::vector<std::wstring>{sys::RemoveQuotes(rest)};
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
    return commandLine.substr(SkipBlanks(commandLine, at));
}

Arguments ParseArguments(const std::wstring& argumentText) {
    Arguments arguments;
    const std::wstring& text = argumentText;
    std::wstring::size_type at = 0;
    while (at < text.size() && text[at] == L'/') {
        if (StartsWith(text, at, kTerminalSwitch)) {
            at += std::wcslen(kTerminalSwitch);
            arguments.terminal.clear();
            if (at < text.size() && text[at] == L'"') {
                const auto closing = text.find(L'"', at + 1);
                arguments.terminal = text.substr(at + 1, closing - at - 1);
                at = closing == std::wstring::npos ? text.size() : closing + 1;
            }
            while (at < text.size() && !IsBlank(text[at])) {
                arguments.terminal += text[at++];
            }
            if (arguments.terminal.empty()) {
                arguments.wrong = L"The switch /terminal: names no terminal's folder." +
                                  std::wstring(kNothingDone);
            }
        } else {
            auto end = at;
            while (end < text.size() && !IsBlank(text[end])) {
                ++end;
            }
            const std::wstring word = text.substr(at, end - at);
            if (sys::SameName(word, L"/quiet")) {
                arguments.quiet = true;
            } else if (sys::SameName(word, L"/replace")) {
                arguments.replace = true;
            } else if (arguments.wrong.empty()) {
                arguments.wrong = L"Tarvex knows no switch " + word +
                                  L". Its switches, before the sources, are /terminal:<folder>, "
                                  L"/terminal:*, /quiet and /replace." +
                                  kNothingDone;
            }
            at = end;
        }
        at = SkipBlanks(text, at);
    }
    arguments.sources = Sources(text.substr(at));
    if (arguments.wrong.empty() && arguments.Switched() && arguments.sources.empty()) {
        arguments.wrong = L"No source file follows the switches." + std::wstring(kNothingDone);
    }
    return arguments;
}

} // namespace app

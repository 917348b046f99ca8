// The command line as the program reads it: in UTF-16, so that a name is seen as it is.
#pragma once

#include <string>

namespace app {

// Everything after the program's own path and the blanks that follow it; not split.
std::wstring ArgumentText(const std::wstring& commandLine);

// The switch that names the terminal, and the one that names every terminal.
constexpr const wchar_t* kTerminalSwitch = L"/terminal:";
constexpr const wchar_t* kEveryTerminal = L"*";

// What the argument text asks for: /terminal:<folder>, quoted where it has blanks, may come
// first; the rest, less every double quote, is the source.
struct Arguments {
    std::wstring terminal; // the folder the switch names, kEveryTerminal, or empty: none
    std::wstring source;
};
Arguments ParseArguments(const std::wstring& argumentText);

} // namespace app

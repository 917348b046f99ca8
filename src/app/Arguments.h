// The command line as the program reads it: in UTF-16, so that a name is seen as it is.
#pragma once

#include <string>
#include <vector>

namespace app {

// Everything after the program's own path and the blanks that follow it; not split.
std::wstring ArgumentText(const std::wstring& commandLine);

// The switch that names the terminal, and the one that names every terminal.
constexpr const wchar_t* kTerminalSwitch = L"/terminal:";
constexpr const wchar_t* kEveryTerminal = L"*";

// What the argument text asks for. Switches come first, in any order: /terminal:<folder> (quoted
// where it has blanks), /quiet, /replace. The rest is one source, less every double quote, unless
// it is two or more quoted paths separated by blanks: then each is one.
struct Arguments {
    std::wstring terminal; // the folder the switch names, kEveryTerminal, or empty: none
    bool quiet = false;    // nothing shown, nothing asked
    bool replace = false;  // a file already in the kind folder is replaced without asking
    std::vector<std::wstring> sources;
    std::wstring wrong; // what is wrong with the command line, for the user; empty: nothing

    bool Switched() const { return !terminal.empty() || quiet || replace; }
};
Arguments ParseArguments(const std::wstring& argumentText);

} // namespace app

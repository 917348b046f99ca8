// What differs between the two generations of MetaTrader, in one table: the sources each
// serves, where its terminals keep their programs, its editor, what the editor writes, and how a
// source's kind is read.
#pragma once

#include "terminal/KindScanner.h"

#include <iterator>
#include <string>

namespace terminal {

struct Generation {
    const wchar_t* name;       // as messages name it
    const wchar_t* extension;  // of its sources, lower-case
    const wchar_t* programs;   // the folder of its programs in a terminal's data folder
    const wchar_t* editors[2]; // its editor's file names, the first preferred; null: no other
    const wchar_t* compiled;   // what the editor writes beside a source
    KindCode (*scan)(ByteSource& source, std::size_t chunk);
    const wchar_t*
        registryKey;         // under HKEY_CURRENT_USER, its InstallPath; null: none is registered
    const wchar_t* metalang; // the compiler of its terminals before build 600; null: none
    const wchar_t*
        fileClass; // MetaEditor's class of its sources, which gets its own verb; "": none
};

inline constexpr Generation kGenerations[] = {
    {L"MetaTrader 4",
     L".mq4",
     L"MQL4",
     {L"metaeditor.exe", nullptr},
     L".ex4",
     ScanKind,
     L"Software\\MetaQuotes Software\\MetaTrader 4",
     L"metalang.exe",
     L"MQLEditor4.File"},
    {L"MetaTrader 5",
     L".mq5",
     L"MQL5",
     {L"metaeditor64.exe", L"metaeditor.exe"},
     L".ex5",
     ScanHandlers,
     nullptr,
     nullptr,
     L""},
};
inline constexpr const Generation& kMetaTrader4 = kGenerations[0];

constexpr std::size_t IndexOf(const Generation& generation) {
    return static_cast<std::size_t>(&generation - kGenerations);
}

// The generation whose sources' extension, less its dot, the path's last three characters are,
// letter case aside (nothing is trimmed); null when there is none.
const Generation* GenerationOf(const std::wstring& sourcePath);

} // namespace terminal

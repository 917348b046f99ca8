// Conversions between the code pages of the system and UTF-16.
#pragma once

#include <windows.h>

#include <string>

namespace sys {

// The text in that code page (CP_ACP, CP_OEMCP or any other), when every character has a form
// of its own there: a best-fit look-alike or the default character counts as a failure.
bool ToCodePage(const std::wstring& text, UINT codePage, std::string& out);

std::wstring FromCodePage(const std::string& text, UINT codePage);

inline std::wstring FromAnsi(const std::string& text) {
    return FromCodePage(text, CP_ACP);
}

// A small text file's bytes as text: UTF-16 LE or UTF-8 after their byte-order marks, else
// the ANSI code page, as Windows' own tools write them.
std::wstring FromFileText(const std::string& bytes);

} // namespace sys

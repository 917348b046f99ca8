// Small text helpers, for ANSI and wide strings alike.
#pragma once

#include <string>

namespace sys {

// Every double-quote character removed, wherever it stands.
template <typename Char> std::basic_string<Char> RemoveQuotes(std::basic_string<Char> text) {
    typename std::basic_string<Char>::size_type out = 0;
    for (const Char c : text) {
        if (c != Char('"')) {
            text[out++] = c;
        }
    }
    text.resize(out);
    return text;
}

template <typename Char> Char ToLowerAscii(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c + 32) : c;
}

// A path of thousands of characters would push a message box off the screen: its two ends.
template <typename Char> std::basic_string<Char> Shortened(const std::basic_string<Char>& path) {
    constexpr typename std::basic_string<Char>::size_type kEnds = 120;
    if (path.size() <= 2 * kEnds + 20) {
        return path;
    }
    const Char dots[] = {' ', '.', '.', '.', ' ', 0};
    return path.substr(0, kEnds) + dots + path.substr(path.size() - kEnds);
}

} // namespace sys

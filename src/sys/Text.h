// Small text helpers on ANSI strings.
#pragma once

#include <string>

namespace sys {

// Every double-quote character removed, wherever it stands.
inline std::string RemoveQuotes(std::string text) {
    std::string::size_type out = 0;
    for (const char c : text) {
        if (c != '"') {
            text[out++] = c;
        }
    }
    text.resize(out);
    return text;
}

inline char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

} // namespace sys

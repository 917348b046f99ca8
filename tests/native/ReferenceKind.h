// Slow, plain models of the kind scans over a whole source, simple enough to trust by reading;
// the fuzzer checks the streaming scanners against them. They share no code with the scanners.
#pragma once

#include <string>

// The fuzzer should be steered by the scanner's branches, not by these.
#if defined(__clang__)
#define REFERENCE_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define REFERENCE_UNTRACED
#endif

namespace reference {

enum Kind { Indicator = 1, Library = 2, ExpertAdvisor = 3, Script = 4, Service = 5 };

// The text a source encodes, a byte a character: a byte-order mark picks UTF-16 (LE or BE) or
// UTF-8 and is no text; without one the bytes are the text. A UTF-16 character outside ASCII
// becomes 0x80, which no marker or delimiter holds; an odd last byte is no character.
REFERENCE_UNTRACED inline std::string Decoded(const std::string& bytes) {
    const bool little = bytes.rfind("\xFF\xFE", 0) == 0;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0 || (!little && bytes.rfind("\xFE\xFF", 0) != 0)) {
        return bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
    }
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned high = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        const unsigned low = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        text += high == 0 && low < 0x80 ? static_cast<char>(low) : '\x80';
    }
    return text;
}

// Fields end at a line end and at a comma outside quotes. A field whose first character after
// blanks is a quote runs to the next quote, and what follows up to the delimiter is dropped.
// Letters compare in ASCII case. The last field with a marker decides; within a field Script
// wins over Library, Library over Indicator.
REFERENCE_UNTRACED inline Kind ScanKind(const std::string& bytes) {
    Kind kind = ExpertAdvisor;
    std::string field;
    bool started = false, quoted = false, afterQuote = false;
    for (const char c : Decoded(bytes) + '\n') {
        if (c == '\r' || c == '\n' || (c == ',' && !quoted)) {
            const auto has = [&](const char* marker) { return field.find(marker) != field.npos; };
            kind = has("#property show")                                               ? Script
                   : has("#property library")                                          ? Library
                   : has("indicator_chart_window") || has("indicator_separate_window") ? Indicator
                                                                                       : kind;
            field.clear();
            started = quoted = afterQuote = false;
        } else if (quoted && c == '"') {
            quoted = false;
            afterQuote = true;
        } else if (!started && c == '"') {
            started = quoted = true;
        } else if (!afterQuote) {
            started = started || c != ' ';
            field += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return kind;
}

// MQL5: without a mark, a source whose first 64 bytes hold zeros at odd offsets only is UTF-16
// LE. Comments ("//" to the line end, "/*" to "*/") and literals ('...' or "...", a backslash
// taking the next character, ended by a line end too) become one byte that is no letter, digit,
// blank or line end. Then OnCalculate as a word decides, else "#property library" standing
// first on a line, else OnStart (a Service with "#property service"), else an Expert Advisor.
REFERENCE_UNTRACED inline Kind ScanHandlers(const std::string& bytes) {
    bool odd = false, even = false;
    for (std::size_t i = 0; i < bytes.size() && i < 64; ++i) {
        (i % 2 == 1 ? odd : even) |= bytes[i] == '\0';
    }
    const bool marked = bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0 ||
                        bytes.rfind("\xEF\xBB\xBF", 0) == 0;
    const std::string text = Decoded(!marked && odd && !even ? "\xFF\xFE" + bytes : bytes);

    std::string code;
    char in = 0; // '/': a line comment, '*': a block comment, a quote: a literal, 0: code
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (in == 0 && c == '/' && (next == '/' || next == '*')) {
            in = next;
            code += '\1';
            ++i;
        } else if (in == 0 && (c == '"' || c == '\'')) {
            in = c;
            code += '\1';
        } else if (in == 0) {
            code += c;
        } else if (in == '*') {
            if (c == '*' && next == '/') {
                in = 0;
                ++i;
            }
        } else if (c == '\r' || c == '\n') {
            in = 0;
            code += c;
        } else if (in != '/' && c == '\\') {
            ++i;
        } else if (in != '/' && c == in) {
            in = 0;
        }
    }

    const auto isWord = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    };
    bool calculate = false, start = false, library = false, service = false;
    std::string word, line;
    for (const char c : code + '\n') {
        if (isWord(c)) {
            word += c;
        } else {
            calculate |= word == "OnCalculate";
            start |= word == "OnStart";
            word.clear();
        }
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        // Blanks, "#property", blanks, then the name as a whole word.
        const std::size_t hash = line.find_first_not_of(" \t");
        if (hash != line.npos && line.compare(hash, 9, "#property") == 0) {
            const std::size_t name = line.find_first_not_of(" \t", hash + 9);
            if (name != line.npos && name > hash + 9) {
                std::size_t end = name;
                while (end < line.size() && isWord(line[end])) {
                    ++end;
                }
                library |= line.compare(name, end - name, "library") == 0;
                service |= line.compare(name, end - name, "service") == 0;
            }
        }
        line.clear();
    }
    return calculate ? Indicator
           : library ? Library
           : start   ? (service ? Service : Script)
                     : ExpertAdvisor;
}

} // namespace reference

// A slow, plain model of the kind scan over a whole source, simple enough to trust by reading;
// the fuzzer checks the streaming scanner against it. It shares no code with the scanner.
#pragma once

#include <string>

// The fuzzer should be steered by the scanner's branches, not by these.
#if defined(__clang__)
#define REFERENCE_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define REFERENCE_UNTRACED
#endif

namespace reference {

enum Kind { Indicator = 1, Library = 2, ExpertAdvisor = 3, Script = 4 };

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

} // namespace reference

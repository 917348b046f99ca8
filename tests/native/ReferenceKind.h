// A slow, plain model of the kind scan over a whole text, kept simple enough to trust by
// reading; the fuzzer checks the streaming scanner against it.
#pragma once

#include <string>

// The fuzzer should be steered by the scanner's branches; tracing every byte here as well
// halved its speed.
#if defined(__clang__)
#define REFERENCE_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define REFERENCE_UNTRACED
#endif

namespace reference {

// Same values as terminal::KindCode, kept separate so the model shares no code with it.
enum Kind { Indicator = 1, Library = 2, ExpertAdvisor = 3, Script = 4 };

// ASCII only: bytes above 0x7F must stay as they are whatever the locale.
inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Calls visit with each field of the text, lower-cased and cut to the part where markers
// count. One string is reused, so long inputs cost no allocation per field.
template <typename Visit>
REFERENCE_UNTRACED void ForEachField(const std::string& text, Visit visit) {
    enum class State { Start, Unquoted, Quoted, AfterQuote };
    std::string field;
    State state = State::Start;
    auto end = [&] {
        visit(static_cast<const std::string&>(field));
        field.clear();
        state = State::Start;
    };
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            end();
            continue;
        }
        switch (state) {
        case State::Start:
            if (c == ' ') {
                field += c;
            } else if (c == '"') {
                field.clear();
                state = State::Quoted;
            } else if (c == ',') {
                end();
            } else {
                field += LowerAscii(c);
                state = State::Unquoted;
            }
            break;
        case State::Unquoted:
            if (c == ',') {
                end();
            } else {
                field += LowerAscii(c);
            }
            break;
        case State::Quoted:
            if (c == '"') {
                state = State::AfterQuote;
            } else {
                field += LowerAscii(c);
            }
            break;
        case State::AfterQuote:
            if (c == ',') {
                end();
            }
            break;
        }
    }
    end();
}

// The text a source encodes, one byte per character: a byte-order mark picks UTF-16 (LE or
// BE) or UTF-8 and is not part of the text; without one the bytes are the text. A UTF-16
// character outside ASCII becomes 0x80, which no marker or delimiter holds; an odd last byte
// is no character.
inline std::string Decoded(const std::string& bytes) {
    const auto starts = [&](const char* mark) { return bytes.rfind(mark, 0) == 0; };
    if (starts("\xEF\xBB\xBF")) {
        return bytes.substr(3);
    }
    if (!starts("\xFF\xFE") && !starts("\xFE\xFF")) {
        return bytes;
    }
    const bool bigEndian = bytes[0] == '\xFE';
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[i]);
        const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = bigEndian ? first << 8 | second : second << 8 | first;
        text += unit < 0x80 ? static_cast<char>(unit) : '\x80';
    }
    return text;
}

inline Kind ScanKind(const std::string& bytes) {
    Kind kind = ExpertAdvisor;
    ForEachField(Decoded(bytes), [&](const std::string& field) {
        const auto has = [&](const char* marker) {
            return field.find(marker) != std::string::npos;
        };
        if (has("#property show")) {
            kind = Script;
        } else if (has("#property library")) {
            kind = Library;
        } else if (has("indicator_chart_window") || has("indicator_separate_window")) {
            kind = Indicator;
        }
    });
    return kind;
}

} // namespace reference

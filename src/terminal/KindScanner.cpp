#include "terminal/KindScanner.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TARVEX_SSE2 1
#endif

namespace terminal {

const char* KindText(KindCode code) {
    switch (code) {
    case KindCode::Indicator:
        return "Indicator";
    case KindCode::Library:
        return "Library";
    case KindCode::Script:
        return "Script";
    case KindCode::ExpertAdvisor:
        break;
    }
    return "Expert Advisor";
}

namespace {

// Markers found in one field, as bits.
constexpr unsigned kIndicator = 1;
constexpr unsigned kLibrary = 2;
constexpr unsigned kScript = 4;

// Every marker starts with '#' or has "indicator" before its first '_'; so only these two
// bytes and the field delimiters need a closer look.
constexpr std::size_t kLookBehind = 9; // "indicator" before '_'
constexpr std::size_t kLookAhead = 16; // "_separate_window" from '_', "#property library"
constexpr std::size_t kChunk = std::size_t{64} * 1024;

inline unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c;
}

// Compares case-insensitively with a lower-case marker part.
inline bool MatchesAt(const unsigned char* at, const char* lowered, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (Lower(at[i]) != static_cast<unsigned char>(lowered[i])) {
            return false;
        }
    }
    return true;
}

// at[0] is '#'; at least kLookAhead + 1 bytes are readable from it.
inline unsigned MarkerAtHash(const unsigned char* at) {
    if (!MatchesAt(at + 1, "property ", 9)) {
        return 0;
    }
    if (MatchesAt(at + 10, "library", 7)) {
        return kLibrary;
    }
    return MatchesAt(at + 10, "show", 4) ? kScript : 0;
}

// at[0] is '_'; kLookBehind bytes before it and kLookAhead after it are readable.
inline unsigned MarkerAtUnderscore(const unsigned char* at) {
    if (!MatchesAt(at - kLookBehind, "indicator", kLookBehind)) {
        return 0;
    }
    return MatchesAt(at + 1, "chart_window", 12) || MatchesAt(at + 1, "separate_window", 15)
               ? kIndicator
               : 0;
}

bool IsInteresting(unsigned char c) {
    return c == ',' || c == '\r' || c == '\n' || c == '"' || c == '#' || c == '_';
}

// The first interesting byte at or after p, or end.
inline const unsigned char* NextInteresting(const unsigned char* p, const unsigned char* end) {
#ifdef TARVEX_SSE2
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i hash = _mm_set1_epi8('#');
    const __m128i underscore = _mm_set1_epi8('_');
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, comma), _mm_cmpeq_epi8(block, cr)),
                         _mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, quote))),
            _mm_or_si128(_mm_cmpeq_epi8(block, hash), _mm_cmpeq_epi8(block, underscore)));
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0) {
            int offset = 0;
            while (((mask >> offset) & 1) == 0) {
                ++offset;
            }
            return p + offset;
        }
        p += 16;
    }
#endif
    while (p < end && !IsInteresting(*p)) {
        ++p;
    }
    return p;
}

// The field reader's state between interesting bytes.
class FieldReader {
public:
    // Reads the bytes [p, limit); kLookBehind bytes before p and kLookAhead after limit are
    // readable.
    void Run(const unsigned char* p, const unsigned char* limit) {
        while (p < limit) {
            if (state_ == State::FieldStart) {
                // Only blanks may stand before the quote that opens a quoted field.
                while (p < limit && *p == ' ') {
                    ++p;
                }
                if (p == limit) {
                    return;
                }
                if (*p == '"') {
                    state_ = State::Quoted;
                    ++p;
                    continue;
                }
                state_ = State::Unquoted;
            }
            p = NextInteresting(p, limit);
            if (p == limit) {
                return;
            }
            Interesting(p);
            ++p;
        }
    }

    KindCode Finish() {
        EndField();
        if (decided_ & kScript) {
            return KindCode::Script;
        }
        if (decided_ & kLibrary) {
            return KindCode::Library;
        }
        return (decided_ & kIndicator) ? KindCode::Indicator : KindCode::ExpertAdvisor;
    }

private:
    // AfterQuote: text after a quoted field's closing quote, dropped up to the delimiter.
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };

    void Interesting(const unsigned char* p) {
        switch (*p) {
        case '\r':
        case '\n':
            // A line end ends every field; a quote left open does not run on past it.
            EndField();
            break;
        case ',':
            if (state_ != State::Quoted) {
                EndField();
            }
            break;
        case '"':
            if (state_ == State::Quoted) {
                state_ = State::AfterQuote;
            }
            break;
        case '#':
            if (state_ != State::AfterQuote) {
                found_ |= MarkerAtHash(p);
            }
            break;
        default: // '_'
            if (state_ != State::AfterQuote) {
                found_ |= MarkerAtUnderscore(p);
            }
            break;
        }
    }

    void EndField() {
        if (found_ != 0) {
            decided_ = found_;
        }
        found_ = 0;
        state_ = State::FieldStart;
    }

    State state_ = State::FieldStart;
    unsigned found_ = 0;   // markers of the current field
    unsigned decided_ = 0; // markers of the last field that had any
};

} // namespace

KindCode ScanKind(ByteSource& source) {
    // [history | data being scanned | look-ahead]; the history keeps the bytes before the
    // next unscanned one, zeroed at the start so that nothing matches before the file.
    constexpr std::size_t kHistory = 32;
    const auto buffer = std::make_unique<unsigned char[]>(kHistory + kChunk + kLookAhead + 1);
    unsigned char* const base = buffer.get();
    std::memset(base, 0, kHistory + kChunk + kLookAhead + 1);
    std::size_t filled = kHistory; // bytes held in the buffer
    FieldReader reader;
    for (;;) {
        const std::size_t got =
            source.Read(reinterpret_cast<char*>(base + filled), kHistory + kChunk - filled);
        filled += got;
        const bool atEnd = got == 0;
        // Scan up to where a marker could still need look-ahead that is not yet read.
        const std::size_t limit = atEnd ? filled : filled - std::min(filled - kHistory, kLookAhead);
        if (atEnd) {
            std::memset(base + filled, 0, kLookAhead + 1);
        }
        reader.Run(base + kHistory, base + limit);
        if (atEnd) {
            return reader.Finish();
        }
        // Keep the unscanned tail and kHistory bytes before it.
        const std::size_t keepFrom = limit - kHistory;
        std::memmove(base, base + keepFrom, filled - keepFrom);
        filled -= keepFrom;
    }
}

} // namespace terminal

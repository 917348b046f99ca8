#include "terminal/KindScanner.h"
#include "terminal/ScanText.h"

namespace terminal {

namespace {

// Markers found in one field, as one bit per rank.
constexpr unsigned BitOf(KindCode code) {
    return 1u << SpecOf(code).markerRank;
}
constexpr unsigned kIndicator = BitOf(KindCode::Indicator);
constexpr unsigned kLibrary = BitOf(KindCode::Library);
constexpr unsigned kScript = BitOf(KindCode::Script);

// Every marker starts with '#' or has "indicator" before its first '_'; so only these two
// bytes and the field delimiters need a closer look.
constexpr std::size_t kLookBehind = 9; // "indicator" before '_'
constexpr std::size_t kLookAhead = 16; // "_separate_window" from '_', "#property library"

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

// The field reader's state between interesting bytes.
class FieldReader {
public:
    static_assert(kLookBehind <= scan::kHistory);

    // Reads the bytes [p, limit); kLookBehind bytes before p and kLookAhead after limit are
    // readable.
    const unsigned char* Run(const unsigned char* p, const unsigned char* limit) {
        finder_.Reset();
        while (p < limit) {
            if (state_ == State::FieldStart) {
                // Only blanks may stand before the quote that opens a quoted field.
                while (p < limit && *p == ' ') {
                    ++p;
                }
                if (p == limit) {
                    return p;
                }
                if (*p == '"') {
                    state_ = State::Quoted;
                    ++p;
                    continue;
                }
                state_ = State::Unquoted;
            }
            p = finder_.Next(p, limit);
            if (p == limit) {
                return p;
            }
            Interesting(p);
            ++p;
        }
        return p;
    }

    // The last field with a marker decides: it may come at the very end.
    bool Done() const { return false; }

    KindCode Finish() {
        EndField();
        // The highest rank among the markers of the last field that had any.
        const KindSpec* winner = &SpecOf(KindCode::ExpertAdvisor);
        for (const KindSpec& kind : kKinds) {
            if ((decided_ & BitOf(kind.code)) != 0 && kind.markerRank > winner->markerRank) {
                winner = &kind;
            }
        }
        return winner->code;
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

    // The field delimiters, the quote, and the bytes every marker is found at.
    scan::Finder<',', '\r', '\n', '"', '#', '_'> finder_;
    State state_ = State::FieldStart;
    unsigned found_ = 0;   // markers of the current field
    unsigned decided_ = 0; // markers of the last field that had any
};

} // namespace

KindCode ScanKind(ByteSource& source, std::size_t chunk) {
    return scan::ScanText(source, chunk, false, &scan::Read<FieldReader, kLookAhead>);
}

} // namespace terminal

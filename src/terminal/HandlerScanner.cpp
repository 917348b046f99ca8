#include "terminal/KindScanner.h"
#include "terminal/ScanText.h"

namespace terminal {

namespace {

// What the code holds, one bit each.
constexpr unsigned kCalculate = 1;
constexpr unsigned kLibrary = 2;
constexpr unsigned kStart = 4;
constexpr unsigned kService = 8;

// Room for the most the reader looks at from a byte before its scan limit: "OnCalculate" from
// its 'O' and the byte after it, 12.
constexpr std::size_t kLookAhead = 16;

inline bool IsWordByte(unsigned char c) {
    const auto letter = static_cast<unsigned char>(c | 0x20);
    return (letter >= 'a' && letter <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

inline bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t';
}

// word stands at p, and no letter, digit or '_' right after it.
template <std::size_t N> inline bool WordAt(const unsigned char* p, const char (&word)[N]) {
    return std::memcmp(p, word, N - 1) == 0 && !IsWordByte(p[N - 1]);
}

// Reads the code for the handlers' names and the directives; comments and literals are
// skipped whole, each with a finder for the few bytes that can end it.
class HandlerReader {
public:
    // Reads on from p up to limit, and returns where the next run goes on: past limit when a
    // comment's opening or closing, an escape or a directive's keyword straddles it.
    const unsigned char* Run(const unsigned char* p, const unsigned char* limit) {
        code_.Reset();
        lineEnd_.Reset();
        star_.Reset();
        literal_.Reset();
        while (p < limit) {
            p = Next(p, limit);
            if (p == limit) {
                return p;
            }
            p = Take(p);
        }
        return p;
    }

    // OnCalculate decides whatever follows.
    bool Done() const { return (found_ & kCalculate) != 0; }

    KindCode Finish() const {
        if ((found_ & kCalculate) != 0) {
            return KindCode::Indicator;
        }
        if ((found_ & kLibrary) != 0) {
            return KindCode::Library;
        }
        if ((found_ & kStart) != 0) {
            return (found_ & kService) != 0 ? KindCode::Service : KindCode::Script;
        }
        return KindCode::ExpertAdvisor;
    }

private:
    // LineStart: only blanks so far on a line of code, where a directive may begin.
    // DirectiveName: past "#property" and a blank.
    enum class State { LineStart, DirectiveName, Code, LineComment, BlockComment, Literal };

    // The first byte at or after p that the state has to look at, or limit.
    const unsigned char* Next(const unsigned char* p, const unsigned char* limit) {
        switch (state_) {
        case State::LineStart:
        case State::DirectiveName:
            while (p < limit && IsBlank(*p)) {
                ++p;
            }
            return p;
        case State::Code:
            return code_.Next(p, limit);
        case State::LineComment:
            return lineEnd_.Next(p, limit);
        case State::BlockComment:
            return star_.Next(p, limit);
        default: // Literal
            return literal_.Next(p, limit);
        }
    }

    // Takes what stands at p, which Next stopped at; returns where reading goes on.
    const unsigned char* Take(const unsigned char* p) {
        switch (state_) {
        case State::LineStart:
            state_ = State::Code;
            if (*p == '#' && std::memcmp(p + 1, "property", 8) == 0 && IsBlank(p[9])) {
                state_ = State::DirectiveName;
                return p + 10;
            }
            return p;
        case State::DirectiveName:
            // The name is code as well: the code's reading goes on at it.
            found_ |= WordAt(p, "library") ? kLibrary : WordAt(p, "service") ? kService : 0;
            state_ = State::Code;
            return p;
        case State::Code:
            return InCode(p);
        case State::LineComment:
            state_ = State::LineStart;
            return p + 1;
        case State::BlockComment:
            if (p[1] == '/') {
                state_ = State::Code;
                return p + 2;
            }
            return p + 1;
        default: // Literal
            if (*p == '\\') {
                return p + 2; // whatever follows, a line end too, stays in the literal
            }
            if (*p == '\r' || *p == '\n') {
                // An unclosed literal ends with its line, as the compiler recovers.
                state_ = State::LineStart;
            } else if (*p == quote_) {
                state_ = State::Code;
            }
            return p + 1;
        }
    }

    // p is a byte the code's finder stopped at; returns the one after what it takes.
    const unsigned char* InCode(const unsigned char* p) {
        switch (*p) {
        case '\r':
        case '\n':
            state_ = State::LineStart;
            return p + 1;
        case '/':
            if (p[1] == '/' || p[1] == '*') {
                state_ = p[1] == '/' ? State::LineComment : State::BlockComment;
                return p + 2;
            }
            return p + 1;
        case '"':
        case '\'':
            quote_ = *p;
            state_ = State::Literal;
            return p + 1;
        default: // 'O'; the byte before is code or ends a comment or literal, no word's byte
            if (!IsWordByte(p[-1])) {
                found_ |= WordAt(p, "OnCalculate") ? kCalculate : WordAt(p, "OnStart") ? kStart : 0;
            }
            return p + 1;
        }
    }

    scan::Finder<'\r', '\n', '/', '"', '\'', 'O'> code_;
    scan::Finder<'\r', '\n'> lineEnd_;
    scan::Finder<'*'> star_;
    scan::Finder<'\r', '\n', '\\', '"', '\''> literal_;
    State state_ = State::LineStart;
    unsigned char quote_ = 0; // that opened the literal being read
    unsigned found_ = 0;
};

} // namespace

KindCode ScanHandlers(ByteSource& source, std::size_t chunk) {
    return scan::ScanText(source, chunk, true, &scan::Read<HandlerReader, kLookAhead>);
}

} // namespace terminal

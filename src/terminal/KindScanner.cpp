#include "terminal/KindScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TARVEX_SSE2 1
#endif

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

bool IsInteresting(unsigned char c) {
    return c == ',' || c == '\r' || c == '\n' || c == '"' || c == '#' || c == '_';
}

#ifdef TARVEX_SSE2
inline unsigned LowestBit(std::uint32_t mask) {
#ifdef _MSC_VER
    unsigned long index = 0;
    _BitScanForward(&index, mask);
    return index;
#else
    return static_cast<unsigned>(__builtin_ctz(mask));
#endif
}

// One bit per interesting byte of the sixteen at p.
inline std::uint32_t InterestingMask(const unsigned char* p) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto is = [&block](char c) { return _mm_cmpeq_epi8(block, _mm_set1_epi8(c)); };
    const __m128i marker = _mm_or_si128(is('#'), is('_'));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(is(','), is('\r')), _mm_or_si128(is('\n'), is('"'))), marker);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
}
#endif

// Finds the interesting bytes of one stretch of the buffer, 32 at a time. The mask of the
// block last searched is kept: the interesting bytes of source code come a few apart, and
// the next one in the same block then costs a bit scan, not another search.
class Finder {
public:
    // The first interesting byte at or after p, or end.
    const unsigned char* Next(const unsigned char* p, const unsigned char* end) {
#ifdef TARVEX_SSE2
        if (base_ != nullptr && p >= base_ && p - base_ < 32) {
            const std::uint32_t rest = mask_ & (~std::uint32_t{0} << (p - base_));
            if (rest != 0) {
                return base_ + LowestBit(rest);
            }
            p = base_ + 32;
        }
        while (end - p >= 32) {
            const std::uint32_t mask = InterestingMask(p) | InterestingMask(p + 16) << 16;
            if (mask != 0) {
                base_ = p;
                mask_ = mask;
                return p + LowestBit(mask);
            }
            p += 32;
        }
#endif
        while (p < end && !IsInteresting(*p)) {
            ++p;
        }
        return p;
    }

    // The buffer's bytes have moved.
    void Reset() {
        base_ = nullptr;
    }

private:
    const unsigned char* base_ = nullptr;
    std::uint32_t mask_ = 0;
};

// The field reader's state between interesting bytes.
class FieldReader {
public:
    // Reads the bytes [p, limit); kLookBehind bytes before p and kLookAhead after limit are
    // readable.
    void Run(const unsigned char* p, const unsigned char* limit) {
        finder_.Reset();
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
            p = finder_.Next(p, limit);
            if (p == limit) {
                return;
            }
            Interesting(p);
            ++p;
        }
    }

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

    Finder finder_;
    State state_ = State::FieldStart;
    unsigned found_ = 0;   // markers of the current field
    unsigned decided_ = 0; // markers of the last field that had any
};

// Serves the bytes read ahead to look for a byte-order mark, then the rest of the source.
class AfterMark : public ByteSource {
public:
    AfterMark(ByteSource& source, const char* ahead, std::size_t size)
        : source_(source), ahead_(ahead), size_(size) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        if (size_ == 0) {
            return source_.Read(buffer, size);
        }
        const std::size_t n = std::min(size, size_);
        std::memcpy(buffer, ahead_, n);
        ahead_ += n;
        size_ -= n;
        return n;
    }

private:
    ByteSource& source_;
    const char* ahead_;
    std::size_t size_;
};

// UTF-16 text as one byte per code unit: ASCII as itself, anything else as 0x80, which is no
// marker letter and no delimiter, as a letter of another script is in an ANSI source.
class Utf16Narrowed : public ByteSource {
public:
    Utf16Narrowed(ByteSource& source, bool bigEndian, std::size_t chunk)
        : source_(source), bigEndian_(bigEndian),
          raw_(std::make_unique<unsigned char[]>(2 * chunk)), capacity_(2 * chunk) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const std::size_t want = std::min(2 * size, capacity_) - pending_;
            const std::size_t got =
                source_.Read(reinterpret_cast<char*>(raw_.get() + pending_), want);
            if (got == 0) {
                return 0; // an odd last byte is no character
            }
            const std::size_t bytes = pending_ + got;
            const std::size_t units = bytes / 2;
            const unsigned char* in = raw_.get();
            const int high = bigEndian_ ? 0 : 1;
            for (std::size_t i = 0; i < units; ++i, in += 2) {
                const unsigned char low = in[1 - high];
                buffer[i] = static_cast<char>(in[high] == 0 && low < 0x80 ? low : 0x80);
            }
            pending_ = bytes % 2;
            if (pending_ != 0) {
                raw_[0] = raw_[bytes - 1];
            }
            if (units > 0) {
                return units;
            }
        }
    }

private:
    ByteSource& source_;
    bool bigEndian_;
    std::unique_ptr<unsigned char[]> raw_;
    std::size_t capacity_;
    std::size_t pending_ = 0; // a unit's first byte, read without its second
};

KindCode ScanBytes(ByteSource& source, std::size_t chunk) {
    // [history | data being scanned | look-ahead]; the history keeps the bytes before the
    // next unscanned one, zeroed at the start so that nothing matches before the file.
    constexpr std::size_t kHistory = 32;
    // Left uninitialised beyond the history: a small source touches only the pages it fills.
    const auto buffer =
        std::unique_ptr<unsigned char[]>(new unsigned char[kHistory + chunk + kLookAhead + 1]);
    unsigned char* const base = buffer.get();
    std::memset(base, 0, kHistory);
    std::size_t filled = kHistory; // bytes held in the buffer
    FieldReader reader;
    for (;;) {
        const std::size_t got =
            source.Read(reinterpret_cast<char*>(base + filled), kHistory + chunk - filled);
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

// Reads until size bytes are there or the source ends.
std::size_t ReadAhead(ByteSource& source, char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const std::size_t n = source.Read(buffer + got, size - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    return got;
}

} // namespace

KindCode ScanKind(ByteSource& source, std::size_t chunk) {
    chunk = std::max<std::size_t>(chunk, 64);
    char ahead[3];
    const std::size_t got = ReadAhead(source, ahead, sizeof ahead);
    const auto starts = [&](const char* mark, std::size_t length) {
        return got >= length && std::memcmp(ahead, mark, length) == 0;
    };
    if (starts("\xEF\xBB\xBF", 3)) {
        return ScanBytes(source, chunk); // UTF-8 keeps ASCII as it is
    }
    if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        AfterMark rest(source, ahead + 2, got - 2);
        Utf16Narrowed text(rest, ahead[0] == '\xFE', chunk);
        return ScanBytes(text, chunk);
    }
    AfterMark whole(source, ahead, got);
    return ScanBytes(whole, chunk);
}

} // namespace terminal

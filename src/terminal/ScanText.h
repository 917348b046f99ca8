// What the kind scanners share: the text a source encodes, read a chunk at a time through one
// buffer, and a finder of the few bytes a scanner must look at. Internal to the scanners;
// portable, as they are.
#pragma once

#include "terminal/KindScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TARVEX_SSE2 1
#endif

namespace terminal::scan {

// Scans the text a source encodes, one byte a character. A byte-order mark picks UTF-8,
// UTF-16 LE or UTF-16 BE and is no text; UTF-16 comes narrowed, a code unit to a byte: ASCII as
// itself, anything else as 0x80. Without a mark the bytes are the text, unless unmarkedUtf16
// and the first 64 bytes hold zeros at odd offsets only: then it is UTF-16 LE. scan gets the
// text and the chunk, at least 64.
using TextScan = KindCode (*)(ByteSource& text, std::size_t chunk);
KindCode ScanText(ByteSource& source, std::size_t chunk, bool unmarkedUtf16, TextScan scan);

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
#endif

// Finds the bytes of Set in one stretch of the buffer, 32 at a time. The mask of the block
// last searched is kept: the bytes sought in source code come a few apart, and the next one in
// the same block then costs a bit scan, not another search.
template <char... Set> class Finder {
public:
    // The first byte of Set at or after p, or end.
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
            const std::uint32_t mask = Mask(p) | Mask(p + 16) << 16;
            if (mask != 0) {
                base_ = p;
                mask_ = mask;
                return p + LowestBit(mask);
            }
            p += 32;
        }
#endif
        while (p < end && !((*p == static_cast<unsigned char>(Set)) || ...)) {
            ++p;
        }
        return p;
    }

    // The buffer's bytes have moved.
    void Reset() {
        base_ = nullptr;
    }

private:
#ifdef TARVEX_SSE2
    // One bit per byte of Set among the sixteen at p.
    static std::uint32_t Mask(const unsigned char* p) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(Set)))), ...);
        return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
    }
#endif

    const unsigned char* base_ = nullptr;
    std::uint32_t mask_ = 0;
};

// Bytes kept before the next unscanned one: a reader looks back at most this far.
constexpr std::size_t kHistory = 32;

// Runs a reader over the text through the buffer [history | data being scanned | look-ahead].
// reader.Run(p, limit) reads on from p, where kHistory bytes before p and kAhead after limit
// are readable, and returns where the next run goes on: limit, or a little past it when bytes
// it looked ahead at are taken too (at most kAhead). Zeros stand before the text and after its
// end, as no byte of it. It stops early once reader.Done().
template <std::size_t kAhead, class Reader>
KindCode ReadChunks(ByteSource& text, std::size_t chunk, Reader& reader) {
    // Left uninitialised beyond the history: a small source touches only the pages it fills.
    const auto buffer =
        std::unique_ptr<unsigned char[]>(new unsigned char[kHistory + chunk + kAhead + 1]);
    unsigned char* const base = buffer.get();
    std::memset(base, 0, kHistory);
    std::size_t filled = kHistory; // bytes held in the buffer
    for (;;) {
        const std::size_t got =
            text.Read(reinterpret_cast<char*>(base + filled), kHistory + chunk - filled);
        filled += got;
        const bool atEnd = got == 0;
        // Scan up to where a reader could still need look-ahead that is not yet read.
        const std::size_t limit = atEnd ? filled : filled - std::min(filled - kHistory, kAhead);
        if (atEnd) {
            std::memset(base + filled, 0, kAhead + 1);
        }
        const unsigned char* next = reader.Run(base + kHistory, base + limit);
        if (atEnd || reader.Done()) {
            return reader.Finish();
        }
        // Keep the unscanned tail and kHistory bytes before it.
        const auto keepFrom = static_cast<std::size_t>(next - base) - kHistory;
        std::memmove(base, base + keepFrom, filled - keepFrom);
        filled -= keepFrom;
    }
}

// A scan of a source's text by a reader of that kind, for ScanText.
template <class Reader, std::size_t kAhead> KindCode Read(ByteSource& text, std::size_t chunk) {
    Reader reader;
    return ReadChunks<kAhead>(text, chunk, reader);
}

} // namespace terminal::scan

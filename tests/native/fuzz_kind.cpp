// Differential fuzzer: the streaming scanner must agree with the whole-text model however
// the bytes arrive.
//
// Input layout: [flags] [k] [size] then the text.
//   flags bits 0-1: 0 puts a 64 KiB - k filler prefix before the text, so that markers near
//                   the text's start straddle the scanner's chunk boundary (1 run in 4);
//   flags bits 2-3: filler style;
//   flags bits 4-5: read pattern: 1 byte, fixed size+1, varying 1..size+1, or all asked.
#include "ReferenceKind.h"
#include "terminal/KindScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Filler further than this from the text goes over in bulk: 64 KiB read a byte at a time
// would slow runs down without reaching any boundary.
constexpr std::size_t kSlowTail = 512;

enum class Pattern { OneByte, Fixed, Varying, AllAsked };

// Unquoted run, blanks before a possible quote, fresh lines, and an unclosed quoted field.
const unsigned char* Filler(unsigned style) {
    static unsigned char styles[4][kChunk];
    static bool ready = false;
    if (!ready) {
        std::memset(styles[0], 'x', kChunk);
        std::memset(styles[1], ' ', kChunk);
        std::memset(styles[2], '\n', kChunk);
        std::memset(styles[3], 'x', kChunk);
        styles[3][0] = '"';
        ready = true;
    }
    return styles[style];
}

class PieceSource : public terminal::ByteSource {
public:
    PieceSource(const unsigned char* prefix, std::size_t prefixSize, const unsigned char* text,
                std::size_t textSize, Pattern pattern, unsigned size)
        : prefix_(prefix), prefixSize_(prefixSize), text_(text), textSize_(textSize),
          pattern_(pattern), size_(size), random_(size * 2654435761u + 1) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        std::size_t want = size;
        const std::size_t bulk = prefixSize_ > kSlowTail ? prefixSize_ - kSlowTail : 0;
        if (pos_ < bulk) {
            want = std::min(want, bulk - pos_);
        } else {
            want = std::min(want, NextPiece());
        }
        std::size_t given = 0;
        while (given < want && pos_ < prefixSize_ + textSize_) {
            const bool inPrefix = pos_ < prefixSize_;
            const unsigned char* from = inPrefix ? prefix_ + pos_ : text_ + (pos_ - prefixSize_);
            const std::size_t left = inPrefix ? prefixSize_ - pos_ : prefixSize_ + textSize_ - pos_;
            const std::size_t n = std::min(want - given, left);
            std::memcpy(buffer + given, from, n);
            given += n;
            pos_ += n;
        }
        return given;
    }

private:
    std::size_t NextPiece() {
        switch (pattern_) {
        case Pattern::OneByte:
            return 1;
        case Pattern::Fixed:
            return size_ + 1;
        case Pattern::Varying:
            random_ ^= random_ << 13;
            random_ ^= random_ >> 17;
            random_ ^= random_ << 5;
            return random_ % (size_ + 1) + 1;
        case Pattern::AllAsked:
            break;
        }
        return kChunk;
    }

    const unsigned char* prefix_;
    std::size_t prefixSize_;
    const unsigned char* text_;
    std::size_t textSize_;
    Pattern pattern_;
    unsigned size_;
    std::uint32_t random_;
    std::size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const unsigned flags = data[0];
    const std::size_t prefixSize = (flags & 3) == 0 ? kChunk - data[1] : 0;
    const unsigned char* prefix = Filler((flags >> 2) & 3);
    const auto pattern = static_cast<Pattern>((flags >> 4) & 3);
    const unsigned char* text = data + 3;
    const std::size_t textSize = size - 3;

    PieceSource source(prefix, prefixSize, text, textSize, pattern, data[2]);
    const terminal::KindCode scanned = terminal::ScanKind(source);

    // Reused so that runs with the filler do not allocate 64 KiB each.
    static std::string whole;
    whole.assign(reinterpret_cast<const char*>(prefix), prefixSize);
    whole.append(reinterpret_cast<const char*>(text), textSize);
    if (static_cast<int>(scanned) != static_cast<int>(reference::ScanKind(whole))) {
        __builtin_trap();
    }
    return 0;
}

// Differential fuzzer: the streaming scanner must agree with the whole-text model however
// the bytes arrive and however they are encoded.
//
// Input layout: [flags] [chunk] [size] then the source's bytes.
//   flags bits 0-1: byte-order mark put before the bytes: none, UTF-16 LE, UTF-16 BE, UTF-8;
//   flags bits 2-3: read pattern: 1 byte, fixed size+1, varying 1..size+1, or all asked;
//   chunk: the scanner reads 64 + chunk bytes at a time, so that markers, line ends and
//          UTF-16 units straddle its reads often even in short inputs.
#include "ReferenceKind.h"
#include "terminal/KindScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

enum class Pattern { OneByte, Fixed, Varying, AllAsked };

class PieceSource : public terminal::ByteSource {
public:
    PieceSource(const std::string& bytes, Pattern pattern, unsigned size)
        : bytes_(bytes), pattern_(pattern), size_(size), random_(size * 2654435761u + 1) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, NextPiece(), bytes_.size() - pos_});
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
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
        return bytes_.size();
    }

    const std::string& bytes_;
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
    static const char* const kMarks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    const unsigned flags = data[0];
    std::string bytes = kMarks[flags & 3];
    bytes.append(reinterpret_cast<const char*>(data + 3), size - 3);

    PieceSource source(bytes, static_cast<Pattern>((flags >> 2) & 3), data[2]);
    const terminal::KindCode scanned = terminal::ScanKind(source, 64 + data[1]);
    if (static_cast<int>(scanned) != static_cast<int>(reference::ScanKind(bytes))) {
        __builtin_trap();
    }
    return 0;
}

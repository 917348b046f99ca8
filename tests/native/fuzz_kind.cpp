// Differential fuzzer: each streaming scanner must agree with its whole-source model however
// the bytes arrive and however they are encoded. Input: [mark] [chunk] [piece], then the
// source's bytes. mark % 4 puts before them no byte-order mark, or that of UTF-16 LE, UTF-16 BE
// or UTF-8; the scanner reads 64 + chunk bytes at a time from a source that gives at most
// piece + 1 a read, so that markers, line ends and UTF-16 units straddle reads often.
#include "ReferenceKind.h"
#include "terminal/KindScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

class PieceSource : public terminal::ByteSource {
public:
    PieceSource(const std::string& bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, piece_, bytes_.size() - pos_});
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    const std::string& bytes_;
    std::size_t piece_;
    std::size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    static const char* const kMarks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    std::string bytes = kMarks[data[0] % 4];
    bytes.append(reinterpret_cast<const char*>(data + 3), size - 3);
    PieceSource fields(bytes, data[2] + 1u);
    if (static_cast<int>(terminal::ScanKind(fields, 64 + data[1])) !=
        static_cast<int>(reference::ScanKind(bytes))) {
        __builtin_trap();
    }
    PieceSource code(bytes, data[2] + 1u);
    if (static_cast<int>(terminal::ScanHandlers(code, 64 + data[1])) !=
        static_cast<int>(reference::ScanHandlers(bytes))) {
        __builtin_trap();
    }
    return 0;
}

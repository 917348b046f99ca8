#include "terminal/ScanText.h"

namespace terminal::scan {

namespace {

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
// letter, delimiter or blank of either language, as a letter of another script is in an ANSI
// source.
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

// ASCII saved as UTF-16 LE without a mark: every second byte is zero, starting at the second.
bool LooksUtf16Le(const char* bytes, std::size_t size) {
    bool odd = false;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\0') {
            if (i % 2 == 0) {
                return false;
            }
            odd = true;
        }
    }
    return odd;
}

} // namespace

KindCode ScanText(ByteSource& source, std::size_t chunk, bool unmarkedUtf16, TextScan scan) {
    chunk = std::max<std::size_t>(chunk, 64);
    // The marks need 3 bytes; telling UTF-16 without one needs a few characters.
    char ahead[64];
    const std::size_t got = ReadAhead(source, ahead, unmarkedUtf16 ? sizeof ahead : 3);
    const auto starts = [&](const char* mark, std::size_t length) {
        return got >= length && std::memcmp(ahead, mark, length) == 0;
    };
    if (starts("\xEF\xBB\xBF", 3)) {
        AfterMark rest(source, ahead + 3, got - 3);
        return scan(rest, chunk); // UTF-8 keeps ASCII as it is
    }
    if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        AfterMark rest(source, ahead + 2, got - 2);
        Utf16Narrowed text(rest, ahead[0] == '\xFE', chunk);
        return scan(text, chunk);
    }
    AfterMark whole(source, ahead, got);
    if (unmarkedUtf16 && LooksUtf16Le(ahead, got)) {
        Utf16Narrowed text(whole, false, chunk);
        return scan(text, chunk);
    }
    return scan(whole, chunk);
}

} // namespace terminal::scan

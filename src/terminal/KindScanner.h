// Recognises the kind of an MQL4 source from marker texts, and of an MQL5 source from its
// handlers, streaming: memory stays the same whatever the size of the source. Portable: no
// platform calls, so it also builds natively.
#pragma once

#include "terminal/Kinds.h"

#include <cstddef>

namespace terminal {

// Where the scan's bytes come from. Read fills up to size bytes and returns how many it
// gave, 0 at the end; it reports a read error by throwing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// Bytes asked of the source per read: few large reads, as each one is a trip to the system.
constexpr std::size_t kScanChunk = std::size_t{1} << 20;

// Reads the source as comma-delimited fields; the last field holding any marker decides,
// and within that field Script wins over Library, Library over Indicator. A source that
// starts with a byte-order mark (UTF-16 LE or BE, UTF-8) is read as the text it encodes;
// any other is read as bytes. chunk: bytes scanned per read (at least 64 are used).
KindCode ScanKind(ByteSource& source, std::size_t chunk = kScanChunk);

// Reads the source as MQL5 code and decides as its compiler does: the name OnCalculate makes an
// Indicator; else the directive "#property library" a Library; else the name OnStart a Service
// when "#property service" is there, a Script when not; else it is an Expert Advisor. Comments
// and string and character literals are left out; names count as whole words only. Encodings
// and chunk as for ScanKind, and UTF-16 LE without a mark too, told by its zero bytes.
KindCode ScanHandlers(ByteSource& source, std::size_t chunk = kScanChunk);

} // namespace terminal

// Recognises the kind of an MQL4 source from marker texts, streaming: memory stays the same
// whatever the size of the source. Portable: no platform calls, so it also builds natively.
#pragma once

#include <cstddef>

namespace terminal {

// The kind codes of the scan; only their texts leave GetType.
enum class KindCode : short { Indicator = 1, Library = 2, ExpertAdvisor = 3, Script = 4 };

const char* KindText(KindCode code);

// Where the scan's bytes come from. Read fills up to size bytes and returns how many it
// gave, 0 at the end; it reports a read error by throwing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// Reads the source as comma-delimited fields; the last field holding any marker decides,
// and within that field Script wins over Library, Library over Indicator.
KindCode ScanKind(ByteSource& source);

} // namespace terminal

#include "terminal/Turn.h"

#include <cstdint>
#include <cwchar>

namespace terminal {

Turn::Turn(const std::wstring& folder) noexcept {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a over the upper-cased UTF-16 units
    for (wchar_t c : folder) {
        CharUpperBuffW(&c, 1);
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Tarvex.Turn.%016llx", static_cast<unsigned long long>(hash));
    mutex_.reset(CreateMutexW(nullptr, FALSE, name));
    // An abandoned turn (its run ended without giving it back) is a turn all the same.
    const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), kTurnWaitMs) : WAIT_FAILED;
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

Turn::~Turn() {
    if (owned_) {
        ReleaseMutex(mutex_.get());
    }
}

} // namespace terminal

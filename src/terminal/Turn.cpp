#include "terminal/Turn.h"
#include "sys/Folders.h"
#include "sys/SysError.h"

#include <algorithm>

namespace terminal {

namespace {

// How often a waiting run looks whether the turn has changed hands.
constexpr DWORD kLookMs = 1000;

} // namespace

std::wstring TurnName(const std::wstring& folder) {
    return L"Local\\Tarvex.Turn." + sys::NameKey(folder);
}

Turn::Turn(const std::wstring& folder) noexcept {
    try {
        const std::wstring name = TurnName(folder);
        mutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
        if (!mutex_) {
            error_ = GetLastError();
            return;
        }
        mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(LONG), (name + L".HandOvers").c_str()));
    } catch (...) {
        error_ = ERROR_NOT_ENOUGH_MEMORY;
        return;
    }
    if (mapping_) {
        handOvers_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    }
    Wait();
}

void Turn::Wait() noexcept {
    long seen = HandOvers();
    DWORD still = GetTickCount(); // since when the turn has not changed hands
    for (;;) {
        const DWORD waited = GetTickCount() - still;
        if (waited >= kTurnWaitMs) {
            return;
        }
        switch (WaitForSingleObject(mutex_.get(), std::min(kLookMs, kTurnWaitMs - waited))) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED: // its run ended without giving it back: a turn all the same
            owned_ = true;
            return;
        case WAIT_TIMEOUT:
            if (const long now = HandOvers(); now != seen) {
                seen = now;
                still = GetTickCount();
            }
            break;
        default:
            error_ = GetLastError();
            return;
        }
    }
}

long Turn::HandOvers() const noexcept {
    return handOvers_ ? InterlockedCompareExchange(static_cast<LONG*>(handOvers_.get()), 0, 0) : 0;
}

Turn::~Turn() {
    if (owned_) {
        if (handOvers_) {
            InterlockedIncrement(static_cast<LONG*>(handOvers_.get()));
        }
        ReleaseMutex(mutex_.get());
    }
}

std::wstring Turn::Failure() const {
    return error_ == ERROR_SUCCESS ? L"Other runs of Tarvex kept this terminal busy too long."
                                   : L"Tarvex could not take its turn on this terminal:\r\n" +
                                         sys::SystemMessage(error_);
}

} // namespace terminal

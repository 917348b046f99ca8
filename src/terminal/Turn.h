// Runs started together (Explorer starts one per selected file) take turns on a terminal: on
// its batch files, or on its editor's compiler.
#pragma once

#include "sys/Handles.h"

#include <string>

namespace terminal {

// Waits at most this long for the turn: the longest turn (a compile, then the editor's
// interpreter) is shorter.
constexpr DWORD kTurnWaitMs = 180000;

// One named mutex per terminal folder, whatever the letter case of its spelling. Held from the
// constructor to the destructor, on the thread that made it.
class Turn {
public:
    explicit Turn(const std::wstring& folder) noexcept;
    ~Turn();
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

    // False when the turn did not come in time.
    explicit operator bool() const noexcept { return owned_; }

private:
    sys::unique_handle mutex_;
    bool owned_ = false;
};

} // namespace terminal

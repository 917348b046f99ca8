// Runs started together (Explorer starts one per selected file) take turns on a terminal: on
// its batch files, or on its editor's compiler.
#pragma once

#include "sys/Handles.h"

#include <string>

namespace terminal {

// A run gives up when the turn has not changed hands for this long: the longest turn (a
// compile, then the editor's interpreter) is shorter, and a queue that moves is waited for,
// however many runs are before this one.
constexpr DWORD kTurnWaitMs = 180000;

// The name of the terminal's turn, the same whatever the letter case of its folder's spelling.
std::wstring TurnName(const std::wstring& folder);

// One named mutex per terminal folder, held from the constructor to the destructor, on the
// thread that made it; beside it, in shared memory, the count of the times it changed hands.
class Turn {
public:
    explicit Turn(const std::wstring& folder) noexcept;
    ~Turn();
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

    // False when the turn did not come.
    explicit operator bool() const noexcept { return owned_; }
    // Why it did not come, in words for the user.
    std::wstring Failure() const;

private:
    void Wait() noexcept;
    long HandOvers() const noexcept;

    sys::unique_handle mutex_;
    sys::unique_handle mapping_;
    sys::unique_view handOvers_; // a LONG; null without it, and the wait is for one turn's time
    bool owned_ = false;
    DWORD error_ = ERROR_SUCCESS; // the system's, when the mutex could not be made or waited on
};

} // namespace terminal

// The standard output and error of a program of the window subsystem, which has no console of its
// own: the handle it was given (a file, a pipe or a console), else its parent's console.
#pragma once

#include "sys/Handles.h"

#include <string>

namespace sys {

class Stream {
public:
    // The standard output or error (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE) that the program has;
    // one it has none of writes nothing.
    explicit Stream(DWORD which) noexcept;

    bool Present() const noexcept { return handle_ != nullptr; }
    // The text and CR LF: UTF-8 to a file or pipe, as it is to a console. Trapped: a stream that
    // will not take it (a closed pipe) loses it.
    void WriteLine(const std::wstring& text) const noexcept;

private:
    HANDLE handle_ = nullptr;
    unique_hfile console_; // the parent's console, opened here
};

} // namespace sys

// The errors that are passed to the caller, in words for the user. Wide, as they may name a
// path in a script that the system's code pages cannot express.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace sys {

class Error : public std::runtime_error {
public:
    explicit Error(std::wstring message) : Error(message, message) {}
    Error(std::wstring message, std::wstring detail)
        : std::runtime_error("Tarvex error"), message_(std::move(message)),
          detail_(std::move(detail)) {}
    const std::wstring& Message() const noexcept { return message_; }
    // What failed and where, without what the run as a whole did about it.
    const std::wstring& Detail() const noexcept { return detail_; }

private:
    std::wstring message_;
    std::wstring detail_;
};

// A platform call failed on a path.
class SysError : public Error {
public:
    // action says what failed ("Could not read the source file"), path names what it failed on.
    SysError(const std::wstring& action, const std::wstring& path, DWORD code);
};

// The program declines to go on, though no call failed.
class Refusal : public Error {
public:
    using Error::Error;
    // what stands in the way, the path it concerns, and why, before anything is touched.
    Refusal(const std::wstring& what, const std::wstring& path, const std::wstring& why);
};

// The system's own words for an error code, without the trailing line break.
std::wstring SystemMessage(DWORD code);

} // namespace sys

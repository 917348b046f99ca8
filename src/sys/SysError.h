// The one error that is passed to the caller: a platform call failed on a path.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace sys {

class SysError : public std::runtime_error {
public:
    // action says what failed ("Could not read the source file"), path names what it failed on.
    SysError(const std::string& action, const std::string& path, DWORD code);

    const std::string& Action() const noexcept { return action_; }
    const std::string& Path() const noexcept { return path_; }
    DWORD Code() const noexcept { return code_; }

private:
    std::string action_;
    std::string path_;
    DWORD code_;
};

// The program declines to go on, in words for the user. Wide, as it may name a path that the
// system's code pages cannot express.
class Refusal : public std::runtime_error {
public:
    explicit Refusal(std::wstring message)
        : std::runtime_error("refused"), message_(std::move(message)) {}
    // what stands in the way, the path it concerns, and why, before anything is touched.
    Refusal(const std::wstring& what, const std::wstring& path, const std::wstring& why);
    const std::wstring& Message() const noexcept { return message_; }

private:
    std::wstring message_;
};

// The system's own words for an error code, without the trailing line break.
std::string SystemMessage(DWORD code);

} // namespace sys

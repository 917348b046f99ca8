#include "sys/Streams.h"

namespace sys {

namespace {

HANDLE Given(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
                   GetFileType(handle) != FILE_TYPE_UNKNOWN
               ? handle
               : nullptr;
}

// Attached once per process, for both streams.
bool AttachedToParentsConsole() {
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
    return attached;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

} // namespace

Stream::Stream(DWORD which) noexcept : handle_(Given(which)) {
    if (handle_ != nullptr) {
        return;
    }
    // A console program's prompt gives a program of the window subsystem no handles: it reaches
    // that console by attaching to it.
    if (AttachedToParentsConsole()) {
        console_.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        handle_ = console_ ? console_.get() : nullptr;
    }
}

void Stream::WriteLine(const std::wstring& text) const noexcept {
    if (handle_ == nullptr) {
        return;
    }
    try {
        const std::wstring line = text + L"\r\n";
        DWORD written = 0;
        if (IsConsole(handle_)) {
            WriteConsoleW(handle_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &bytes[0], size,
                            nullptr, nullptr);
        WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
        // Nothing is left to tell it with.
    }
}

} // namespace sys

#include "sys/Shell.h"

#include <shellapi.h>

#include <utility>

namespace Shell {

namespace {

constexpr int kStartAttempts = 3;

} // namespace

bool ShellRun(const std::wstring& file, const std::wstring& operation, const wchar_t* parameters,
              const std::wstring& folder, int showCommand, sys::unique_handle* process) noexcept {
    // The Ex form, so that the caller can wait on the process and no error dialog appears.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask =
        SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (process != nullptr ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = operation.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = parameters;
    info.lpDirectory = folder.c_str();
    info.nShow = showCommand;
    const bool started = ShellExecuteExW(&info) != FALSE;
    if (process != nullptr) {
        process->reset(started ? info.hProcess : nullptr);
    }
    return started && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}

DWORD StartProgram(const std::wstring& commandLine, const std::wstring& folder, int showCommand,
                   sys::unique_handle* process) noexcept {
    try {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
        PROCESS_INFORMATION info{};
        // A start the system refuses with an internal error of its own (Wine does, now and then,
        // while another process is torn down) says nothing of the program: it is tried again.
        for (int attempt = 1;; ++attempt) {
            std::wstring line = commandLine; // CreateProcessW may write into it
            if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &info)) {
                break;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) {
                return error;
            }
            Sleep(200);
        }
        CloseHandle(info.hThread);
        sys::unique_handle started(info.hProcess);
        if (process != nullptr) {
            *process = std::move(started);
        }
        return ERROR_SUCCESS;
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace Shell

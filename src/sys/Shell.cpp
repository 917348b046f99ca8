#include "sys/Shell.h"

#include <shellapi.h>

#include <utility>

namespace Shell {

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
        std::wstring line = commandLine; // CreateProcessW may write into it
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &startup, &info)) {
            return GetLastError();
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

#include "sys/Shell.h"

#include <shellapi.h>

namespace Shell {

bool ShellRun(const std::string& file, const std::string& operation, const char* parameters,
              const std::string& folder, int showCommand, sys::unique_handle* process) noexcept {
    // The Ex form, so that the caller can wait on the process and no error dialog appears.
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask =
        SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (process != nullptr ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = operation.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = parameters;
    info.lpDirectory = folder.c_str();
    info.nShow = showCommand;
    const bool started = ShellExecuteExA(&info) != FALSE;
    if (process != nullptr) {
        process->reset(started ? info.hProcess : nullptr);
    }
    return started && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}

} // namespace Shell

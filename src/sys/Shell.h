// Hands a file to the shell, or starts a program.
#pragma once

#include "sys/Handles.h"

#include <string>

namespace Shell {

// True when the shell reports success. parameters may be null. When process is given, it
// receives the launched process (empty when the shell started none). No message is shown.
bool ShellRun(const std::wstring& file, const std::wstring& operation, const wchar_t* parameters,
              const std::wstring& folder, int showCommand,
              sys::unique_handle* process = nullptr) noexcept;

// Starts a program by its command line (its path quoted first) in that working folder, with
// that show command. ERROR_SUCCESS when it started, and process then receives it; else the
// system's error code. No message is shown.
DWORD StartProgram(const std::wstring& commandLine, const std::wstring& folder, int showCommand,
                   sys::unique_handle* process = nullptr) noexcept;

} // namespace Shell

// Hands a file to the shell.
#pragma once

#include "sys/Handles.h"

#include <string>

namespace Shell {

// True when the shell reports success. parameters may be null. When process is given, it
// receives the launched process (empty when the shell started none). No message is shown.
bool ShellRun(const std::string& file, const std::string& operation, const char* parameters,
              const std::string& folder, int showCommand,
              sys::unique_handle* process = nullptr) noexcept;

// Starts a program by its command line (its path quoted first) in that working folder, with
// that show command. True when it started; process then receives it. No message is shown.
bool StartProgram(const std::wstring& commandLine, const std::wstring& folder, int showCommand,
                  sys::unique_handle* process = nullptr) noexcept;

} // namespace Shell

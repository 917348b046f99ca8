// The two ways a terminal's tools are run, behind Compile and OpenMetaEditor: through batch
// files and metalang (before build 600), or through the terminal's editor.
#pragma once

#include "terminal/Terminal.h"

#include <windows.h>

namespace terminal {

// How long a compile may take, on either road: the compiler of a large program takes seconds.
constexpr DWORD kCompileWaitMs = 120000;

// The interpreter reads batch files in the console's code page: true when the path has a
// form there, so that the tools are given this very path.
bool FitsConsoleCodePage(const std::string& path);

CompileReport BatchCompile(const Terminal& terminal, const std::string& file) noexcept;
EditorLaunch BatchOpen(const Terminal& terminal, const std::string& file);

CompileReport EditorCompile(const Terminal& terminal, const std::string& file) noexcept;
EditorLaunch EditorOpen(const Terminal& terminal, const std::string& file);

} // namespace terminal

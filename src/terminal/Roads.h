// The two ways a terminal's tools are run, behind Compile and OpenMetaEditor: through batch
// files and metalang (before build 600), or through the terminal's editor.
#pragma once

#include "terminal/Terminal.h"

#include <windows.h>

namespace terminal {

// How long a compile may take, on either road: the compiler of a large program takes seconds.
constexpr DWORD kCompileWaitMs = 120000;

// The tools of a legacy terminal are handed a path through a batch file, which the interpreter
// reads in the console's code page, and metalang reads its command line in the ANSI one: the
// code page (its number) in which the path has no exact form; 0 when it has both.
UINT CodePageLacking(const std::wstring& path);

CompileReport BatchCompile(const Terminal& terminal, const std::wstring& file) noexcept;
EditorLaunch BatchOpen(const Terminal& terminal, const std::wstring& file);

CompileReport EditorCompile(const Terminal& terminal, const std::wstring& file) noexcept;
EditorLaunch EditorOpen(const Terminal& terminal, const std::wstring& file);

} // namespace terminal

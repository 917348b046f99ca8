// What the program knows of MetaTrader 4: its folders, the kinds of source, its tools.
#pragma once

#include <string>

namespace terminal {

// What stands for the terminal folder when none is registered.
constexpr const char* kNoTerminal = "NA";
bool IsNoTerminal(const std::string& folder);

// The terminal folder as stored, or "NA" when it cannot be read. Read afresh on each call.
std::string GetMT4Path();

// The terminal folder plus the kind's sub-folder; "NA" when there is no terminal folder.
std::string GetExpertsPath();
std::string GetIndicatorsPath();
std::string GetScriptsPath();
std::string GetLibrariesPath();
// The folder of the kind named by its text, through the operation above that belongs to it.
std::string GetKindFolder(const std::string& kind);

// True when both paths' folders are one folder, as the file system resolves them.
bool IsSameFolder(const std::string& path1, const std::string& path2);

// "Expert Advisor", "Indicator", "Script" or "Library". Removes the double quotes from path
// in place. Throws sys::SysError when the file cannot be opened or read.
std::string GetType(std::string& path);

// The interpreter reads batch files in the console's code page: true when the path has a
// form there, so that the tools are given this very path.
bool FitsConsoleCodePage(const std::string& path);

// Continue on error: writes compile.bat, runs it hidden, removes it; reports nothing.
void Compile(const std::string& file) noexcept;

// Writes run.bat and runs it hidden. Throws sys::SysError when run.bat cannot be written.
void OpenMetaEditor(const std::string& file);

} // namespace terminal

// What the program knows of MetaTrader 4: its folders, the kinds of source, its tools.
#pragma once

#include <string>

namespace terminal {

// The terminal folder as stored, or "NA" when it cannot be read. Read afresh on each call.
std::string GetMT4Path();

// The terminal folder plus the kind's sub-folder; "NA" when there is no terminal folder.
std::string GetExpertsPath();
std::string GetIndicatorsPath();
std::string GetScriptsPath();
std::string GetLibrariesPath();

// True when both paths' folders are one folder, as the file system resolves them.
bool IsSameFolder(const std::string& path1, const std::string& path2);

// "Expert Advisor", "Indicator", "Script" or "Library". Removes the double quotes from path
// in place. Throws sys::SysError when the file cannot be opened or read.
std::string GetType(std::string& path);

// Continue on error: writes compile.bat, runs it hidden, removes it; reports nothing.
void Compile(const std::string& file) noexcept;

// Writes run.bat and runs it hidden. Throws sys::SysError when run.bat cannot be written.
void OpenMetaEditor(const std::string& file);

} // namespace terminal

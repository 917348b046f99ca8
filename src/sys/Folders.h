// Folders and small files by their Unicode names: the user's profile, where terminals keep
// their data, may be named in a script that the system's code page cannot express.
//
// Every function here is trapped: a failure gives false, 0 or the empty result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sys {

// The user's roaming application data, as the shell reports it.
std::wstring RoamingAppData() noexcept;

bool IsFile(const std::wstring& path) noexcept;
bool IsFolder(const std::wstring& path) noexcept;

// The paths of the folder's sub-folders.
std::vector<std::wstring> SubfoldersOf(const std::wstring& folder) noexcept;

// The file's bytes when it holds at most limit of them.
std::string ReadSmallFile(const std::wstring& path, std::size_t limit = 65536) noexcept;

// When the file was last written, in the system's 100 ns ticks; 0 when it is not there.
std::uint64_t WriteTimeOf(const std::wstring& path) noexcept;
// The newest of those times among the folder's files whose names the test accepts; 0 when
// there is none.
std::uint64_t NewestWriteTimeIn(const std::wstring& folder,
                                bool (*accepts)(const std::wstring& name)) noexcept;

// The path made absolute ("." and ".." resolved, a relative one taken from the working
// folder), and in its long form where it exists.
std::wstring FullPath(const std::wstring& path) noexcept;

// Two names or paths that the file system takes for one: letter case aside.
bool SameName(const std::wstring& a, const std::wstring& b) noexcept;
// Orders two names as SameName compares them: less than, equal to or greater than 0.
int CompareNames(const std::wstring& a, const std::wstring& b) noexcept;
// Sixteen hex digits that stand for the name in the names of the system's objects, the same
// whatever its letter case.
std::wstring NameKey(const std::wstring& name) noexcept;

// The path lies below the folder, at any depth.
bool IsBelow(const std::wstring& path, const std::wstring& folder) noexcept;

} // namespace sys

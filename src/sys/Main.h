// Thin wrappers over the registry and the file system.
//
// Failure policy, per function:
//   noexcept           trapped: every failure gives false or the empty text;
//   may throw SysError passed to the caller.
#pragma once

#include <windows.h>

#include <string>

namespace Main {

// The REG_SZ value's text before its first NUL; the default when the key or the value is
// missing or of another type. Registry failures give the default; throws only bad_alloc.
std::string GetRegString(HKEY root, const std::string& key, const std::string& name,
                         const std::string& defaultText);

// Creates the key when missing. A failed write is silent.
void SetRegString(HKEY root, const std::string& key, const std::string& name,
                  const std::string& text) noexcept;

// A normal file (not a folder, not hidden, not system) matches the path; wildcards allowed.
bool FileExists(const std::string& path) noexcept;

// The first normal file's own name as the file system spells it; empty when none matches.
std::string GetFileName(const std::string& path) noexcept;

// Quotes removed, the text before the last backslash; empty when there is none.
std::string GetParentFolder(const std::string& path) noexcept;

bool CopyOneFile(const std::string& source, const std::string& destination,
                 bool failIfExists) noexcept;

// Replaces the file's contents with text and one CR LF. Throws SysError.
void WriteTextFile(const std::string& path, const std::string& text);

// Throws SysError naming the file.
void DeleteOneFile(const std::string& path);

} // namespace Main

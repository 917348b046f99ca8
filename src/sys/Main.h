// Thin wrappers over the registry and the file system, by the Unicode names of keys and files.
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
std::wstring GetRegString(HKEY root, const std::wstring& key, const std::wstring& name,
                          const std::wstring& defaultText);

// Creates the key when missing; "" names the default value. True when the value was written.
bool SetRegString(HKEY root, const std::wstring& key, const std::wstring& name,
                  const std::wstring& text) noexcept;
bool SetRegNumber(HKEY root, const std::wstring& key, const std::wstring& name,
                  DWORD number) noexcept;

// A normal file (not a folder, not hidden, not system) matches the path; wildcards allowed.
bool FileExists(const std::wstring& path) noexcept;

// The first normal file's own name as the file system spells it; empty when none matches.
std::wstring GetFileName(const std::wstring& path) noexcept;

// Quotes removed, the text before the last backslash; empty when there is none.
std::wstring GetParentFolder(const std::wstring& path) noexcept;

bool CopyOneFile(const std::wstring& source, const std::wstring& destination,
                 bool failIfExists) noexcept;

// Replaces the file's contents with the bytes and one CR LF. Throws SysError.
void WriteTextFile(const std::wstring& path, const std::string& bytes);

// Throws SysError naming the file.
void DeleteOneFile(const std::wstring& path);

} // namespace Main

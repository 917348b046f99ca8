// What the Windows-side tests share: throwaway folders, files as bytes, registry set-up.
// Paths and texts are UTF-8 here, whatever the system's code pages, so that a test can name
// any file; every step checks that it did what it says and throws otherwise.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// The text as the program holds it: in the system's ANSI or console code page. Empty when a
// character has no exact form there.
std::string InCodePage(const std::string& utf8, UINT codePage);

// A new empty folder under the temp folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
void MakeFolder(const std::string& path); // with its parents

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool PathExists(const std::string& path);

// The folder of the running test program, where the build puts every program.
std::string BuildFolder();

// Registry set-up with raw calls, independent of the code under test. SetValue stores the
// bytes as they are; SetText stores a REG_SZ text given in UTF-8.
void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& data);
void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text);
// The stored bytes of a value of any type; false when the key or the value is missing.
bool QueryValue(HKEY root, const std::string& key, const std::string& name, std::string& data,
                DWORD* type = nullptr);
bool KeyExists(HKEY root, const std::string& key);
void DeleteTree(HKEY root, const std::string& key);

} // namespace testing_support

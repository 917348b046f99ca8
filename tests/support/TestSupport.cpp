#include "TestSupport.h"
#include "sys/CodePage.h"
#include "sys/Handles.h"

#include <stdexcept>
#include <vector>

namespace testing_support {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": error " + std::to_string(GetLastError()));
}

std::string Temp() {
    wchar_t buffer[MAX_PATH];
    std::string path = Utf8(std::wstring(buffer, GetTempPathW(MAX_PATH, buffer)));
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

} // namespace

std::wstring Wide(const std::string& utf8) {
    return sys::FromCodePage(utf8, CP_UTF8);
}

std::string Utf8(const std::wstring& wide) {
    std::string text;
    sys::ToCodePage(wide, CP_UTF8, text);
    return text;
}

std::string InCodePage(const std::string& utf8, UINT codePage) {
    std::string text;
    sys::ToCodePage(Wide(utf8), codePage, text);
    return text;
}

TempFolder::TempFolder() {
    static LONG counter = 0;
    path_ = Temp() + "\\tarvex-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(InterlockedIncrement(&counter));
    RemoveTree(path_);
    MakeFolder(path_);
}

TempFolder::~TempFolder() {
    try {
        RemoveTree(path_);
    } catch (...) {
        // a file still in use by a program under test stays in the temp folder
    }
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAW entry;
    {
        sys::unique_hfind find(FindFirstFileW(Wide(path + "\\*").c_str(), &entry));
        for (bool more = bool(find); more; more = FindNextFileW(find.get(), &entry) != FALSE) {
            const std::string name = Utf8(entry.cFileName);
            const std::string child = path + "\\" + name;
            if (name == "." || name == "..") {
                continue;
            }
            SetFileAttributesW(Wide(child).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else if (!DeleteFileW(Wide(child).c_str())) {
                Fail("cannot delete", child);
            }
        }
    }
    if (!RemoveDirectoryW(Wide(path).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND) {
        Fail("cannot remove", path);
    }
}

void MakeFolder(const std::string& path) {
    for (auto at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryW(Wide(path.substr(0, at)).c_str(), nullptr);
    }
    if (!CreateDirectoryW(Wide(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        Fail("cannot create folder", path);
    }
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    sys::unique_hfile file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        Fail("cannot write", path);
    }
}

std::string ReadBytes(const std::string& path) {
    sys::unique_hfile file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!file) {
        Fail("cannot read", path);
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string BuildFolder() {
    wchar_t buffer[MAX_PATH];
    const std::string path =
        Utf8(std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH)));
    return path.substr(0, path.rfind('\\'));
}

void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& data) {
    sys::unique_hkey handle;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, handle.put(),
                        nullptr) != ERROR_SUCCESS ||
        RegSetValueExA(handle.get(), name.empty() ? nullptr : name.c_str(), 0, type,
                       reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
        Fail("cannot set", key + "\\" + name);
    }
}

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    const std::wstring wide = Wide(text) + L'\0';
    sys::unique_hkey handle;
    if (RegCreateKeyExW(root, Wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        handle.put(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(handle.get(), Wide(name).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(wide.data()),
                       static_cast<DWORD>(wide.size() * sizeof(wchar_t))) != ERROR_SUCCESS) {
        Fail("cannot set", key + "\\" + name);
    }
}

bool QueryValue(HKEY root, const std::string& key, const std::string& name, std::string& data,
                DWORD* type) {
    sys::unique_hkey handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) {
        return false;
    }
    const char* valueName = name.empty() ? nullptr : name.c_str();
    DWORD size = 0;
    DWORD valueType = 0;
    if (RegQueryValueExA(handle.get(), valueName, nullptr, &valueType, nullptr, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> buffer(size + 1);
    if (RegQueryValueExA(handle.get(), valueName, nullptr, &valueType,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return false;
    }
    data.assign(buffer.data(), size);
    if (type != nullptr) {
        *type = valueType;
    }
    return true;
}

bool KeyExists(HKEY root, const std::string& key) {
    sys::unique_hkey handle;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const std::string& key) {
    const LONG result = RegDeleteTreeA(root, key.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
        SetLastError(static_cast<DWORD>(result));
        Fail("cannot delete key", key);
    }
}

} // namespace testing_support

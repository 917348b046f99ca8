#include "Support.h"
#include "sys/CodePage.h"
#include "sys/Handles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace testing_support {

namespace {

void Check(bool done, const std::string& what, const std::string& path) {
    if (!done) {
        throw std::runtime_error(what + " " + path + ": error " + std::to_string(GetLastError()));
    }
}

LONG Store(HKEY root, const std::string& key, const std::string& name, DWORD type,
           const std::string& bytes, bool wide) {
    const auto size = static_cast<DWORD>(bytes.size());
    return wide ? RegSetKeyValueW(root, Wide(key).c_str(), Wide(name).c_str(), type, bytes.data(),
                                  size)
                : RegSetKeyValueA(root, key.c_str(), name.c_str(), type, bytes.data(), size);
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
    wchar_t temp[MAX_PATH];
    path_ = Utf8(std::wstring(temp, GetTempPathW(MAX_PATH, temp))) + "tarvex-test-" +
            std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(InterlockedIncrement(&counter));
    RemoveTree(path_);
    MakeFolder(path_);
}

TempFolder::~TempFolder() {
    try {
        RemoveTree(path_);
    } catch (...) {
        // a file a program under test still holds stays in the temp folder
    }
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAW entry;
    sys::unique_hfind find(FindFirstFileW(Wide(path + "\\*").c_str(), &entry));
    for (bool more = bool(find); more; more = FindNextFileW(find.get(), &entry) != FALSE) {
        const std::string name = Utf8(entry.cFileName);
        const std::string child = path + "\\" + name;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesW(Wide(child).c_str(), FILE_ATTRIBUTE_NORMAL);
            Check(DeleteFileW(Wide(child).c_str()), "cannot delete", child);
        } else if (name != "." && name != "..") {
            RemoveTree(child);
        }
    }
    find.reset();
    Check(RemoveDirectoryW(Wide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND,
          "cannot remove", path);
}

void MakeFolder(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(Wide(path)));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(std::filesystem::path(Wide(path)), std::ios::binary);
    Check(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good(),
          "cannot write", path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(std::filesystem::path(Wide(path)), std::ios::binary);
    Check(file.is_open(), "cannot read", path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string BuildFolder() {
    wchar_t path[MAX_PATH];
    const std::string exe = Utf8(std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
    return exe.substr(0, exe.rfind('\\'));
}

void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& bytes) {
    Check(Store(root, key, name, type, bytes, false) == 0, "cannot set", key + "\\" + name);
}

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    const std::wstring wide = Wide(text) + L'\0';
    const std::string bytes(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    Check(Store(root, key, name, REG_SZ, bytes, true) == 0, "cannot set", key + "\\" + name);
}

std::string StoredBytes(HKEY root, const std::string& key, const std::string& name) {
    sys::unique_hkey handle;
    char bytes[65536];
    DWORD size = sizeof bytes;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) == 0 &&
                   RegQueryValueExA(handle.get(), name.c_str(), nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(bytes), &size) == 0
               ? std::string(bytes, size)
               : "<none>";
}

bool KeyExists(HKEY root, const std::string& key) {
    sys::unique_hkey handle;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const std::string& key) {
    const LONG result = RegDeleteTreeA(root, key.c_str());
    SetLastError(static_cast<DWORD>(result));
    Check(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND, "cannot delete key", key);
}

void ForgetTerminal() {
    sys::unique_hkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTerminalKey, 0, KEY_SET_VALUE, key.put()) == 0) {
        RegDeleteValueA(key.get(), "InstallPath");
    }
}

namespace {
constexpr const char* kKindFolders[][2] = {{"Expert Advisor", "\\experts"},
                                           {"Indicator", "\\experts\\indicators"},
                                           {"Script", "\\experts\\scripts"},
                                           {"Library", "\\experts\\libraries"}};
} // namespace

StandInTerminal::StandInTerminal(const std::string& folderName) : path_(root_ / folderName) {
    for (const auto& kind : kKindFolders) {
        MakeFolder(path_ + kind[1]);
    }
    for (const char* tool : {"\\metalang.exe", "\\MetaEditor.exe"}) {
        Check(CopyFileW(Wide(BuildFolder() + tool).c_str(), Wide(path_ + tool).c_str(), FALSE),
              "cannot copy", tool);
    }
    SetText(HKEY_CURRENT_USER, kTerminalKey, "InstallPath", path_);
}

std::string StandInTerminal::KindFolder(const std::string& kind) const {
    for (const auto& entry : kKindFolders) {
        if (kind == entry[0]) {
            return path_ + entry[1];
        }
    }
    throw std::invalid_argument("no kind " + kind);
}

std::vector<ToolRun> StandInTerminal::Runs(std::size_t count) const {
    std::vector<ToolRun> runs;
    for (const DWORD start = GetTickCount();; Sleep(20)) {
        const std::string log =
            PathExists(path_ + "\\standins.log") ? ReadBytes(path_ + "\\standins.log") : "";
        runs.clear();
        std::string fields[5];
        std::size_t field = 0;
        for (const char c : log) {
            if (c == '\n') { // program|command line|folder|found|batch line, then CR LF
                fields[4].pop_back();
                runs.push_back({fields[0], fields[1], fields[2], fields[3] == "1", fields[4]});
                std::fill(std::begin(fields), std::end(fields), std::string());
                field = 0;
            } else if (c == '|' && field < 4) {
                ++field;
            } else {
                fields[field] += c;
            }
        }
        if (runs.size() >= count || GetTickCount() - start > 20000) {
            return runs;
        }
    }
}

} // namespace testing_support

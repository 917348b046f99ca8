#include "Support.h"
#include "sys/CodePage.h"
#include "sys/Handles.h"

#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

void Check(DWORD error, const std::string& what, const std::string& path) {
    if (error != ERROR_SUCCESS) {
        throw std::runtime_error(what + " " + path + ": error " + std::to_string(error));
    }
}

std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::path(Wide(path));
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

std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::string bytes;
    for (const wchar_t unit : L"\xFEFF" + Wide(utf8)) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
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
    std::error_code none; // a read-only file, such as a copy of a read-only source, goes too
    for (const auto& entry : std::filesystem::recursive_directory_iterator(FsPath(path), none)) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(FsPath(path));
}

void MakeFolder(const std::string& path) {
    std::filesystem::create_directories(FsPath(path));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(FsPath(path), std::ios::binary);
    Check(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good()
              ? 0
              : ERROR_WRITE_FAULT,
          "cannot write", path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(FsPath(path), std::ios::binary);
    Check(file.is_open() ? 0 : ERROR_OPEN_FAILED, "cannot read", path);
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
    Check(static_cast<DWORD>(RegSetKeyValueA(root, key.c_str(), name.c_str(), type, bytes.data(),
                                             static_cast<DWORD>(bytes.size()))),
          "cannot set", key + "\\" + name);
}

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text,
             DWORD type) {
    const std::wstring wide = Wide(text);
    Check(
        static_cast<DWORD>(RegSetKeyValueW(root, Wide(key).c_str(), Wide(name).c_str(), type,
                                           wide.c_str(), static_cast<DWORD>(wide.size() + 1) * 2)),
        "cannot set", key + "\\" + name);
}

std::string StoredText(HKEY root, const std::string& key, const std::string& name) {
    std::wstring text(32768, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    return RegGetValueW(root, Wide(key).c_str(), Wide(name).c_str(), flags, nullptr, &text[0],
                        &size) == ERROR_SUCCESS
               ? Utf8(text.c_str())
               : "<none>";
}

unsigned long long KeyWrittenAt(HKEY root, const std::string& key) {
    sys::unique_hkey handle;
    FILETIME written{};
    if (RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS ||
        RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS) {
        return 0;
    }
    return static_cast<unsigned long long>(written.dwHighDateTime) << 32 | written.dwLowDateTime;
}

bool KeyExists(HKEY root, const std::string& key) {
    sys::unique_hkey handle;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

std::string KeyTree(HKEY root, const std::string& key) {
    std::set<std::string> lines;
    const auto walk = [&](const auto& self, const std::string& path) -> void {
        sys::unique_hkey handle;
        if (RegOpenKeyExW(root, Wide(key + path).c_str(), 0, KEY_READ, handle.put()) != 0) {
            return;
        }
        const std::string where = path.empty() ? path : path.substr(1);
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            wchar_t data[2048] = {};
            DWORD length = 256, size = sizeof data - sizeof(wchar_t), type = 0;
            if (RegEnumValueW(handle.get(), i, name, &length, nullptr, &type,
                              reinterpret_cast<BYTE*>(data), &size) != 0) {
                break;
            }
            DWORD dword = 0;
            std::memcpy(&dword, data, sizeof dword);
            char number[16];
            std::snprintf(number, sizeof number, "0x%08lx", static_cast<unsigned long>(dword));
            lines.insert(where + "|" + (length ? Utf8(name) : "(default)") + "=" +
                         (type == REG_DWORD ? number : Utf8(data)));
        }
        for (DWORD i = 0, length = 256;
             RegEnumKeyExW(handle.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
             ++i, length = 256) {
            self(self, path + "\\" + Utf8(name));
        }
    };
    walk(walk, "");
    std::string tree;
    for (const std::string& line : lines) {
        tree += line + "\n";
    }
    return tree;
}

void DeleteTree(HKEY root, const std::string& key) {
    const auto result = static_cast<DWORD>(RegDeleteTreeA(root, key.c_str()));
    Check(result == ERROR_FILE_NOT_FOUND ? 0 : result, "cannot delete key", key);
}

void StoreOptions(const char* op, const char* del, const char* tell) {
    DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    for (const auto& [name, text] : {std::pair{"op", op}, {"del", del}, {"tell", tell}}) {
        if (text != nullptr) {
            SetText(HKEY_CURRENT_USER, kSettingsKey, name, text);
        }
    }
}

namespace {
// A kind, its folder below a terminal before build 600 and below the folder of programs.
constexpr const char* kKindFolders[][3] = {{"Expert Advisor", "\\experts", "\\Experts"},
                                           {"Indicator", "\\experts\\indicators", "\\Indicators"},
                                           {"Script", "\\experts\\scripts", "\\Scripts"},
                                           {"Library", "\\experts\\libraries", "\\Libraries"},
                                           {"Service", "", "\\Services"}};

void CopyTool(const char* tool, const std::string& folder, const char* name) {
    std::filesystem::copy_file(FsPath(BuildFolder() + "\\" + tool), FsPath(folder + "\\" + name));
}
} // namespace

const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

StandInTerminal::StandInTerminal(const std::string& folderName, const Layout& layout)
    : path_(root_ / folderName) {
    const auto has = [&](const char* flag) { return std::strstr(layout.origin, flag) != nullptr; };
    static int count = 0;
    legacy_ = has("metalang") && has("none");
    if (has("mt5")) {
        programs_ = "MQL5";
        editor_ = has("32") ? "metaeditor.exe" : "metaeditor64.exe";
    }
    MakeFolder(path_);
    if (has("broken")) {
        WriteBytes(path_ + "\\" + editor_, "no program");
    } else {
        CopyTool("MetaEditor.exe", path_, legacy_ ? "MetaEditor.exe" : editor_.c_str());
    }
    if (has("metalang")) {
        CopyTool("metalang.exe", path_, "metalang.exe");
        for (const auto& kind : kKindFolders) {
            MakeFolder(path_ + kind[1]);
        }
    }
    Register();
    if (has("profile")) { // SHGetFolderPathW follows this value
        appData_ = StoredText(HKEY_CURRENT_USER, kShellFolders, "AppData");
        SetText(HKEY_CURRENT_USER, kShellFolders, "AppData",
                root_ / u8"Users\\李 Иван\\AppData\\Roaming", REG_EXPAND_SZ);
    }
    if (!has("none")) {
        wchar_t appData[MAX_PATH] = L"";
        SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
        data_ = has("portable") ? path_
                                : Utf8(appData) + "\\MetaQuotes\\Terminal\\TarvexTest " +
                                      folderName + " " + std::to_string(++count);
        const std::string programs = data_ + "\\" + programs_;
        for (const auto& kind : kKindFolders) {
            MakeFolder(programs + (has("bare") ? "" : kind[2]));
        }
        const std::string named = path_ + (has("slash") ? "\\" : "");
        if (!Portable()) {
            const std::string text = has("upper") ? Utf8(CharUpperW(&Wide(named)[0])) : named;
            WriteBytes(data_ + "\\origin.txt",
                       has("ansi") ? InCodePage(text, CP_ACP) : Utf16(text));
        }
    }
    if (layout.usedDaysAgo >= 0) { // the terminal's log of each day it ran, and its editor's
        MakeFolder(data_ + "\\logs");
        WriteBytes(data_ + "\\logs\\metaeditor.log", Utf16("compiled today"));
        WriteBytes(data_ + "\\logs\\20261201.log", "started");
        std::filesystem::last_write_time(FsPath(data_ + "\\logs\\20261201.log"),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::hours(24 * layout.usedDaysAgo));
    }
    if (has("gone")) {
        RemoveTree(path_);
    }
}

StandInTerminal::~StandInTerminal() {
    ForgetTerminal();
    if (!data_.empty() && !Portable()) {
        RemoveTree(data_);
    }
    if (!appData_.empty()) {
        SetText(HKEY_CURRENT_USER, kShellFolders, "AppData", appData_, REG_EXPAND_SZ);
    }
}

void StandInTerminal::Register() const {
    SetText(HKEY_CURRENT_USER, kTerminalKey, "InstallPath", path_);
}

std::string StandInTerminal::KindFolder(const std::string& kind) const {
    for (const auto& entry : kKindFolders) {
        if (kind == entry[0]) {
            return legacy_ ? path_ + entry[1] : data_ + "\\" + programs_ + entry[2];
        }
    }
    throw std::invalid_argument("no kind " + kind);
}

std::vector<ToolRun> StandInTerminal::Runs(std::size_t count) const {
    for (const DWORD start = GetTickCount();; Sleep(20)) {
        const std::string log = path_ + "\\standins.log";
        std::istringstream lines(PathExists(log) ? ReadBytes(log) : "");
        std::vector<ToolRun> runs;
        for (std::string line; std::getline(lines, line);) { // program|line|folder|found|batch
            std::istringstream fields(line.substr(0, line.size() - 1)); // less its CR
            ToolRun& run = runs.emplace_back();
            std::string found;
            for (std::string* field :
                 {&run.program, &run.commandLine, &run.folder, &found, &run.batchLine}) {
                std::getline(fields, *field, '|');
            }
            run.fileFound = found == "1";
        }
        if (runs.size() >= count || GetTickCount() - start > 20000) {
            return runs;
        }
    }
}

} // namespace testing_support

#include "settings/ContextMenu.h"
#include "sys/Folders.h"
#include "sys/Handles.h"
#include "sys/Main.h"

#include <algorithm>
#include <vector>

namespace settings {

namespace {

constexpr const wchar_t* kClassVerb = L"MQLEditor4.File\\shell\\Compile";
// The same verb for .mq4 files whatever class owns them.
constexpr const wchar_t* kAnyClassVerb = L"SystemFileAssociations\\.mq4\\shell\\Compile";

std::wstring OwnPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The executable's name as a command names it: its own name, with ".exe".
std::wstring OwnFileName(const std::wstring& path) {
    std::wstring name = path.substr(path.rfind(L'\\') + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.erase(dot);
    }
    return name + L".exe";
}

// Quoted, so that a folder with blanks cannot be taken for another program; in UTF-16, so
// that a folder named in another script than the system's code page is named as it is.
std::wstring CommandText() {
    const std::wstring path = OwnPath();
    return L"\"" + path.substr(0, path.rfind(L'\\')) + L"\\" + OwnFileName(path) + L"\" \"%1\"";
}

// The program a command starts: its quoted path, or an unquoted one up to ".exe".
std::wstring ProgramOf(const std::wstring& command) {
    if (!command.empty() && command[0] == L'"') {
        return command.substr(1, command.find(L'"', 1) - 1);
    }
    for (std::size_t at = 0; at + 4 <= command.size(); ++at) {
        if (sys::SameName(command.substr(at, 4), L".exe")) {
            return command.substr(0, at + 4);
        }
    }
    return command.substr(0, command.find(L' '));
}

std::wstring KeyOf(const ClassesRoot& at, const wchar_t* verb) {
    return at.path + verb;
}

// Every step is made, as far as it goes; true when all of them succeeded.
bool WriteVerb(const ClassesRoot& at, const wchar_t* verb, const std::wstring& command) noexcept {
    const std::wstring verbKey = KeyOf(at, verb);
    const std::wstring commandKey = verbKey + L"\\command";
    sys::unique_hkey key;
    const bool verbMade = RegCreateKeyW(at.root, verbKey.c_str(), key.put()) == ERROR_SUCCESS;
    // Explorer drops a command line's verb from the menu when more than 15 files are chosen,
    // unless the verb takes up to 100 this way; each file still gets a run of its own.
    constexpr wchar_t kPlayer[] = L"Player";
    const bool modelSet = verbMade && RegSetValueExW(key.get(), L"MultiSelectModel", 0, REG_SZ,
                                                     reinterpret_cast<const BYTE*>(kPlayer),
                                                     sizeof kPlayer) == ERROR_SUCCESS;
    const bool commandMade = RegCreateKeyW(at.root, commandKey.c_str(), key.put()) == ERROR_SUCCESS;
    // The length argument is ignored for REG_SZ: the text's own length is stored.
    const bool written = RegSetValueW(at.root, commandKey.c_str(), REG_SZ, command.c_str(),
                                      MAX_PATH) == ERROR_SUCCESS;
    return verbMade && modelSet && commandMade && written;
}

void DeleteVerb(const ClassesRoot& at, const wchar_t* verb) noexcept {
    // The deeper key first: a key with subkeys is not deleted.
    RegDeleteKeyW(at.root, (KeyOf(at, verb) + L"\\command").c_str());
    RegDeleteKeyW(at.root, KeyOf(at, verb).c_str());
}

// Deletes the key when it holds no value and no subkey; true when it went.
bool DeleteIfEmpty(HKEY root, const std::wstring& key) noexcept {
    sys::unique_hkey handle;
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS ||
        RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        subkeys != 0 || values != 0) {
        return false;
    }
    handle.reset();
    return RegDeleteKeyW(root, key.c_str()) == ERROR_SUCCESS;
}

// The entry on every .mq4 file, and the keys above it that were there only for it.
void DeleteAnyClassVerb(const ClassesRoot& at) {
    DeleteVerb(at, kAnyClassVerb);
    std::wstring key = KeyOf(at, kAnyClassVerb);
    for (int up = 0; up < 3; ++up) { // .mq4\shell, .mq4, SystemFileAssociations
        key.erase(key.rfind(L'\\'));
        if (!DeleteIfEmpty(at.root, key)) {
            break;
        }
    }
}

// Explorer shows the verbs of the class that owns .mq4: the user's own choice, else the
// classes' default.
bool MetaEditorOwnsSources(const ClassesRoot& classes) {
    std::wstring owner = Main::GetRegString(
        HKEY_CURRENT_USER,
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.mq4\\UserChoice",
        L"ProgId", L"");
    if (owner.empty()) {
        owner = Main::GetRegString(classes.root, classes.path + L".mq4", L"", L"");
    }
    return sys::SameName(owner, L"MQLEditor4.File");
}

// The entry on every .mq4 file may be another program's, which stays as it is. It is this
// one's when it has no command, or when the command's program has this file name.
bool IsOwnEntry(const ClassesRoot& at, const std::wstring& fileName) {
    const std::wstring program =
        ProgramOf(Main::GetRegString(at.root, KeyOf(at, kAnyClassVerb) + L"\\command", L"", L""));
    const auto start = program.size() - std::min(program.size(), fileName.size());
    return program.empty() ||
           (sys::SameName(program.substr(start), fileName) &&
            (start == 0 || program[start - 1] == L'\\' || program[start - 1] == L'/'));
}

} // namespace

ClassesRoot MachineClasses() {
    return {HKEY_CLASSES_ROOT, L""};
}

ClassesRoot UserClasses() {
    return {HKEY_CURRENT_USER, L"Software\\Classes\\"};
}

void SetKeys(const ClassesRoot& first, const ClassesRoot& fallback) noexcept {
    try {
        const std::wstring command = CommandText();
        const std::wstring fileName = OwnFileName(OwnPath());
        if (!WriteVerb(first, kClassVerb, command)) {
            WriteVerb(fallback, kClassVerb, command);
        }
        // Beside the class's own verb, a second entry would show twice.
        if (MetaEditorOwnsSources(first)) {
            for (const ClassesRoot* at : {&first, &fallback}) {
                if (IsOwnEntry(*at, fileName)) {
                    DeleteAnyClassVerb(*at);
                }
            }
        } else if (IsOwnEntry(first, fileName) && !WriteVerb(first, kAnyClassVerb, command) &&
                   IsOwnEntry(fallback, fileName)) {
            WriteVerb(fallback, kAnyClassVerb, command);
        }
    } catch (...) {
        // Registration is best effort: the program works without the menu entry.
    }
}

void DeleteKeys(const ClassesRoot& first, const ClassesRoot& fallback) noexcept {
    for (const ClassesRoot* at : {&first, &fallback}) {
        DeleteVerb(*at, kClassVerb);
    }
    DeleteEntriesOnEveryFile(first, fallback);
}

void DeleteEntriesOnEveryFile(const ClassesRoot& first, const ClassesRoot& fallback,
                              const std::wstring& program) noexcept {
    try {
        const std::wstring fileName = program.empty() ? OwnFileName(OwnPath()) : program;
        for (const ClassesRoot* at : {&first, &fallback}) {
            if (IsOwnEntry(*at, fileName)) {
                DeleteAnyClassVerb(*at);
            }
        }
    } catch (...) {
        // Removal is best effort, as registration is.
    }
}

} // namespace settings

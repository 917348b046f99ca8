#include "settings/ContextMenu.h"
#include "sys/Folders.h"
#include "sys/Handles.h"
#include "sys/Main.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace settings {

namespace {

// Explorer offers a command line's verb for up to 100 files chosen at once, instead of 15, when
// its key says so; each file still gets a run of its own.
constexpr const wchar_t* kMultiSelect = L"MultiSelectModel";
constexpr const wchar_t* kPlayer = L"Player";
// Explorer sorts a menu's entries by their keys' names: two digits keep them in order.
constexpr std::size_t kMostTerminals = 98;
constexpr DWORD kSeparatorBefore = 0x20;

std::wstring ClassVerb(const SourceMenu& menu) {
    return menu.fileClass + L"\\shell\\Compile";
}

// The verbs for these files whatever class owns them live under this key's shell.
std::wstring AnyClass(const SourceMenu& menu) {
    return L"SystemFileAssociations\\" + menu.extension;
}

std::wstring AnyClassVerb(const SourceMenu& menu) {
    return AnyClass(menu) + L"\\shell\\Compile";
}

std::wstring Cascade(const SourceMenu& menu) {
    return AnyClass(menu) + L"\\shell\\CompileIn";
}

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

// The program as commands name it; in UTF-16, so that a folder named in another script than the
// system's code page is named as it is.
std::wstring CommandProgram() {
    const std::wstring path = OwnPath();
    return path.substr(0, path.rfind(L'\\')) + L"\\" + OwnFileName(path);
}

// Quoted, so that a folder with blanks cannot be taken for another program.
std::wstring CommandText(const std::wstring& program, const std::wstring& switches = {}) {
    return L"\"" + program + L"\" " + switches + L"\"%1\"";
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

std::wstring KeyOf(const ClassesRoot& at, const std::wstring& path) {
    return at.path + path;
}

// A value of the entries: a text, or a number (CommandFlags).
struct Value {
    std::wstring key;
    const wchar_t* name;
    std::wstring text;
    bool isNumber = false;
    DWORD number = 0;
};

bool Holds(HKEY root, const Value& value) {
    if (value.isNumber) {
        DWORD number = 0;
        DWORD size = sizeof number;
        return RegGetValueW(root, value.key.c_str(), value.name, RRF_RT_REG_DWORD, nullptr, &number,
                            &size) == ERROR_SUCCESS &&
               number == value.number;
    }
    // No text read holds a NUL: what a missing value gives is never the text.
    return Main::GetRegString(root, value.key, value.name, std::wstring(1, L'\0')) == value.text;
}

bool Write(HKEY root, const Value& value) {
    return value.isNumber ? Main::SetRegNumber(root, value.key, value.name, value.number)
                          : Main::SetRegString(root, value.key, value.name, value.text);
}

// A start that finds the entries as they should be writes nothing.
bool Ensure(HKEY root, const Value& value) {
    return Holds(root, value) || Write(root, value);
}

// Every step is made, as far as it goes; true when all of them succeeded.
bool WriteVerb(const ClassesRoot& at, const std::wstring& verb, const std::wstring& command) {
    const bool modelSet = Ensure(at.root, {KeyOf(at, verb), kMultiSelect, kPlayer});
    const bool written = Ensure(at.root, {KeyOf(at, verb) + L"\\command", L"", command});
    return modelSet && written;
}

void DeleteVerb(const ClassesRoot& at, const std::wstring& verb) noexcept {
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

// The keys above the entries on every file that were there only for them: the extension's shell,
// the extension, SystemFileAssociations.
void DeleteEmptyAbove(const ClassesRoot& at, const SourceMenu& menu) {
    for (const std::wstring& key :
         {AnyClass(menu) + L"\\shell", AnyClass(menu), std::wstring(L"SystemFileAssociations")}) {
        if (!DeleteIfEmpty(at.root, KeyOf(at, key))) {
            return;
        }
    }
}

std::size_t SubkeysOf(HKEY root, const std::wstring& key) {
    sys::unique_hkey handle;
    DWORD subkeys = 0;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS &&
                   RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS
               ? subkeys
               : 0;
}

// "Compile in": an entry per terminal, then one for every terminal, after a separator.
void WriteCascade(const ClassesRoot& at, const SourceMenu& menu, const std::wstring& program) {
    const std::wstring cascade = KeyOf(at, Cascade(menu));
    if (menu.terminals.size() < 2) {
        RegDeleteTreeW(at.root, cascade.c_str());
        DeleteEmptyAbove(at, menu);
        return;
    }
    std::vector<Value> values = {{cascade, L"MUIVerb", L"Compile in"},
                                 {cascade, L"SubCommands", L""},
                                 {cascade, kMultiSelect, kPlayer},
                                 {cascade, L"Icon", program + L",0"}};
    const std::size_t count = std::min(menu.terminals.size(), kMostTerminals);
    for (std::size_t i = 0; i <= count; ++i) {
        wchar_t number[8];
        std::swprintf(number, 8, L"%02u", static_cast<unsigned>(i + 1));
        const std::wstring entry = cascade + L"\\shell\\" + number;
        const bool every = i == count;
        values.push_back({entry, L"MUIVerb", every ? L"Every terminal" : menu.terminals[i].name});
        values.push_back({entry, kMultiSelect, kPlayer});
        if (every) {
            values.push_back({entry, L"CommandFlags", L"", true, kSeparatorBefore});
        }
        values.push_back(
            {entry + L"\\command", L"",
             CommandText(program, every ? L"/terminal:* "
                                        : L"/terminal:\"" + menu.terminals[i].folder + L"\" ")});
    }
    if (SubkeysOf(at.root, cascade + L"\\shell") == count + 1 &&
        std::all_of(values.begin(), values.end(),
                    [&](const Value& value) { return Holds(at.root, value); })) {
        return;
    }
    // Written whole, so that a terminal no longer found is gone from it.
    RegDeleteTreeW(at.root, cascade.c_str());
    for (const Value& value : values) {
        Write(at.root, value);
    }
}

// Explorer shows the verbs of the class that owns the files: the user's own choice, else the
// classes' default.
bool FileClassOwnsSources(const ClassesRoot& classes, const SourceMenu& menu) {
    if (menu.fileClass.empty()) {
        return false;
    }
    std::wstring owner =
        Main::GetRegString(HKEY_CURRENT_USER,
                           L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" +
                               menu.extension + L"\\UserChoice",
                           L"ProgId", L"");
    if (owner.empty()) {
        owner = Main::GetRegString(classes.root, classes.path + menu.extension, L"", L"");
    }
    return sys::SameName(owner, menu.fileClass);
}

// The entry on every file may be another program's, which stays as it is. It is this one's when
// it has no command, or when the command's program has this file name.
bool IsOwnEntry(const ClassesRoot& at, const std::wstring& verb, const std::wstring& fileName) {
    const std::wstring program =
        ProgramOf(Main::GetRegString(at.root, KeyOf(at, verb) + L"\\command", L"", L""));
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

void SetKeys(const std::vector<SourceMenu>& menus, const ClassesRoot& first,
             const ClassesRoot& user) noexcept {
    try {
        const std::wstring program = CommandProgram();
        const std::wstring command = CommandText(program);
        const std::wstring fileName = OwnFileName(program);
        for (const SourceMenu& menu : menus) {
            if (!menu.fileClass.empty() && !WriteVerb(first, ClassVerb(menu), command)) {
                WriteVerb(user, ClassVerb(menu), command);
            }
            const std::wstring verb = AnyClassVerb(menu);
            // Beside the class's own verb, a second entry would show twice.
            if (FileClassOwnsSources(first, menu)) {
                for (const ClassesRoot* at : {&first, &user}) {
                    if (IsOwnEntry(*at, verb, fileName)) {
                        DeleteVerb(*at, verb);
                        DeleteEmptyAbove(*at, menu);
                    }
                }
            } else if (IsOwnEntry(first, verb, fileName) && !WriteVerb(first, verb, command) &&
                       IsOwnEntry(user, verb, fileName)) {
                WriteVerb(user, verb, command);
            }
            // The terminals are found in the user's own data folders: the list is the user's.
            WriteCascade(user, menu, program);
        }
    } catch (...) {
        // Registration is best effort: the program works without the menu entries.
    }
}

void DeleteKeys(const std::vector<SourceMenu>& menus, const ClassesRoot& first,
                const ClassesRoot& user) noexcept {
    for (const SourceMenu& menu : menus) {
        if (!menu.fileClass.empty()) {
            for (const ClassesRoot* at : {&first, &user}) {
                DeleteVerb(*at, ClassVerb(menu));
            }
        }
    }
    DeleteEntriesOnEveryFile(menus, first, user);
}

void DeleteEntriesOnEveryFile(const std::vector<SourceMenu>& menus, const ClassesRoot& first,
                              const ClassesRoot& fallback, const std::wstring& program) noexcept {
    try {
        const std::wstring fileName = program.empty() ? OwnFileName(OwnPath()) : program;
        for (const SourceMenu& menu : menus) {
            for (const ClassesRoot* at : {&first, &fallback}) {
                RegDeleteTreeW(at->root, KeyOf(*at, Cascade(menu)).c_str());
                if (IsOwnEntry(*at, AnyClassVerb(menu), fileName)) {
                    DeleteVerb(*at, AnyClassVerb(menu));
                }
                DeleteEmptyAbove(*at, menu);
            }
        }
    } catch (...) {
        // Removal is best effort, as registration is.
    }
}

} // namespace settings

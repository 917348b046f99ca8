#include "settings/ContextMenu.h"
#include "sys/Handles.h"
#include "sys/Main.h"

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

// Quoted, so that a folder with blanks cannot be taken for another program; in UTF-16, so
// that a folder named in another script than the system's code page is named as it is.
std::wstring CommandText() {
    const std::wstring path = OwnPath();
    const auto slash = path.rfind(L'\\');
    const std::wstring folder = path.substr(0, slash);
    std::wstring name = path.substr(slash + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.erase(dot);
    }
    return L"\"" + folder + L"\\" + name + L".exe\" \"%1\"";
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
    const bool commandMade = RegCreateKeyW(at.root, commandKey.c_str(), key.put()) == ERROR_SUCCESS;
    // The length argument is ignored for REG_SZ: the text's own length is stored.
    const bool written = RegSetValueW(at.root, commandKey.c_str(), REG_SZ, command.c_str(),
                                      MAX_PATH) == ERROR_SUCCESS;
    return verbMade && commandMade && written;
}

void DeleteVerb(const ClassesRoot& at, const wchar_t* verb) noexcept {
    // The deeper key first: a key with subkeys is not deleted.
    RegDeleteKeyW(at.root, (KeyOf(at, verb) + L"\\command").c_str());
    RegDeleteKeyW(at.root, KeyOf(at, verb).c_str());
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
    return CompareStringOrdinal(owner.c_str(), -1, L"MQLEditor4.File", -1, TRUE) == CSTR_EQUAL;
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
        if (!WriteVerb(first, kClassVerb, command)) {
            WriteVerb(fallback, kClassVerb, command);
        }
        // Beside the class's own verb, a second entry would show twice.
        if (MetaEditorOwnsSources(first)) {
            DeleteVerb(first, kAnyClassVerb);
            DeleteVerb(fallback, kAnyClassVerb);
        } else if (!WriteVerb(first, kAnyClassVerb, command)) {
            WriteVerb(fallback, kAnyClassVerb, command);
        }
    } catch (...) {
        // Registration is best effort: the program works without the menu entry.
    }
}

void DeleteKeys(const ClassesRoot& first, const ClassesRoot& fallback) noexcept {
    try {
        for (const wchar_t* verb : {kClassVerb, kAnyClassVerb}) {
            DeleteVerb(first, verb);
            DeleteVerb(fallback, verb);
        }
    } catch (...) {
        // Removal is best effort, as registration is.
    }
}

} // namespace settings

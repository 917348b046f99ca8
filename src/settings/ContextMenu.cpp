#include "settings/ContextMenu.h"
#include "sys/Handles.h"

#include <vector>

namespace settings {

namespace {

constexpr const char* kVerbKey = "MQLEditor4.File\\shell\\Compile";
constexpr const char* kCommandKey = "MQLEditor4.File\\shell\\Compile\\command";

std::string OwnPath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Quoted, so that a folder with blanks cannot be taken for another program.
std::string CommandText() {
    const std::string path = OwnPath();
    const auto slash = path.rfind('\\');
    const std::string folder = path.substr(0, slash);
    std::string name = path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return "\"" + folder + "\\" + name + ".exe\" \"%1\"";
}

// Every step is made, as far as it goes; true when all of them succeeded.
bool WriteVerb(const ClassesRoot& at, const std::string& command) noexcept {
    const std::string verb = at.path + kVerbKey;
    const std::string commandKey = at.path + kCommandKey;
    sys::unique_hkey key;
    const bool verbMade = RegCreateKeyA(at.root, verb.c_str(), key.put()) == ERROR_SUCCESS;
    const bool commandMade = RegCreateKeyA(at.root, commandKey.c_str(), key.put()) == ERROR_SUCCESS;
    // The length argument is ignored for REG_SZ: the text's own length is stored.
    const bool written = RegSetValueA(at.root, commandKey.c_str(), REG_SZ, command.c_str(),
                                      MAX_PATH) == ERROR_SUCCESS;
    return verbMade && commandMade && written;
}

void DeleteVerb(const ClassesRoot& at) noexcept {
    // The deeper key first: a key with subkeys is not deleted.
    RegDeleteKeyA(at.root, (at.path + kCommandKey).c_str());
    RegDeleteKeyA(at.root, (at.path + kVerbKey).c_str());
}

} // namespace

ClassesRoot MachineClasses() {
    return {HKEY_CLASSES_ROOT, ""};
}

ClassesRoot UserClasses() {
    return {HKEY_CURRENT_USER, "Software\\Classes\\"};
}

void SetKeys(const ClassesRoot& first, const ClassesRoot& fallback) noexcept {
    try {
        const std::string command = CommandText();
        if (!WriteVerb(first, command)) {
            WriteVerb(fallback, command);
        }
    } catch (...) {
        // Registration is best effort: the program works without the menu entry.
    }
}

void DeleteKeys(const ClassesRoot& first, const ClassesRoot& fallback) noexcept {
    try {
        DeleteVerb(first);
        DeleteVerb(fallback);
    } catch (...) {
        // Removal is best effort, as registration is.
    }
}

} // namespace settings

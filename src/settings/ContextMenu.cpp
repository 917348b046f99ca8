#include "settings/ContextMenu.h"
#include "sys/Handles.h"

#include <string>
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

} // namespace

void SetKeys() noexcept {
    try {
        sys::unique_hkey key;
        RegCreateKeyA(HKEY_CLASSES_ROOT, kVerbKey, key.put());
        RegCreateKeyA(HKEY_CLASSES_ROOT, kCommandKey, key.put());
        const std::string command = CommandText();
        // The length argument is ignored for REG_SZ: the text's own length is stored.
        RegSetValueA(HKEY_CLASSES_ROOT, kCommandKey, REG_SZ, command.c_str(), MAX_PATH);
    } catch (...) {
        // Registration is best effort: the program works without the menu entry.
    }
}

void DeleteKeys() noexcept {
    // The deeper key first: a key with subkeys is not deleted.
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kCommandKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kVerbKey);
}

} // namespace settings

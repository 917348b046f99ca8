#include "sys/Main.h"
#include "sys/Handles.h"

#include <algorithm>
#include <vector>

namespace Main {

std::string GetRegString(HKEY root, const std::string& key, const std::string& name,
                         const std::string& defaultText) {
    sys::unique_hkey handle;
    if (RegOpenKeyA(root, key.c_str(), handle.put()) != ERROR_SUCCESS) {
        return defaultText;
    }
    // The value may grow between asking its size and reading it: ask again until it fits.
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ) {
            return defaultText;
        }
        std::vector<char> data(size + 1, '\0');
        const LONG read = RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &size);
        if (read == ERROR_MORE_DATA) {
            continue;
        }
        if (read != ERROR_SUCCESS || type != REG_SZ) {
            return defaultText;
        }
        const std::string text(data.data(), std::min<std::size_t>(size, data.size() - 1));
        return text.substr(0, text.find('\0'));
    }
}

void SetRegString(HKEY root, const std::string& key, const std::string& name,
                  const std::string& text) noexcept {
    sys::unique_hkey handle;
    if (RegCreateKeyA(root, key.c_str(), handle.put()) != ERROR_SUCCESS) {
        return;
    }
    const auto bytes = static_cast<DWORD>(text.size()) + 1; // with the terminating NUL
    RegSetValueExA(handle.get(), name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

} // namespace Main

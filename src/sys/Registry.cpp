#include "sys/Main.h"
#include "sys/Handles.h"

#include <algorithm>
#include <vector>

namespace Main {

std::wstring GetRegString(HKEY root, const std::wstring& key, const std::wstring& name,
                          const std::wstring& defaultText) {
    sys::unique_hkey handle;
    if (RegOpenKeyW(root, key.c_str(), handle.put()) != ERROR_SUCCESS) {
        return defaultText;
    }
    // The value may grow between asking its size and reading it: ask again until it fits.
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ) {
            return defaultText;
        }
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        const LONG read = RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &size);
        if (read == ERROR_MORE_DATA) {
            continue;
        }
        if (read != ERROR_SUCCESS || type != REG_SZ) {
            return defaultText;
        }
        const std::wstring text(data.data(),
                                std::min<std::size_t>(size / sizeof(wchar_t), data.size() - 1));
        return text.substr(0, text.find(L'\0'));
    }
}

namespace {

bool SetRegValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                 const void* data, DWORD bytes) noexcept {
    sys::unique_hkey handle;
    return RegCreateKeyW(root, key.c_str(), handle.put()) == ERROR_SUCCESS &&
           RegSetValueExW(handle.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                          bytes) == ERROR_SUCCESS;
}

} // namespace

bool SetRegString(HKEY root, const std::wstring& key, const std::wstring& name,
                  const std::wstring& text) noexcept {
    const DWORD bytes = (static_cast<DWORD>(text.size()) + 1) * DWORD{sizeof(wchar_t)}; // and NUL
    return SetRegValue(root, key, name, REG_SZ, text.c_str(), bytes);
}

bool SetRegNumber(HKEY root, const std::wstring& key, const std::wstring& name,
                  DWORD number) noexcept {
    return SetRegValue(root, key, name, REG_DWORD, &number, sizeof number);
}

} // namespace Main

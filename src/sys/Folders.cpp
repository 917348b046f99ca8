#include "sys/Folders.h"
#include "sys/Handles.h"

#include <shlobj.h>

#include <cwchar>

namespace sys {

namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// Calls visit with each entry of the listing, but "." and "..".
template <typename Visit> void ForEachEntry(const std::wstring& pattern, Visit visit) {
    WIN32_FIND_DATAW entry{};
    unique_hfind find(FindFirstFileW(pattern.c_str(), &entry));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &entry)) {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) {
            visit(entry);
        }
    }
}

} // namespace

std::wstring RoamingAppData() noexcept {
    wchar_t path[MAX_PATH] = L"";
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))
               ? path
               : L"";
}

bool IsFile(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> SubfoldersOf(const std::wstring& folder) noexcept {
    std::vector<std::wstring> paths;
    try {
        ForEachEntry(folder + L"\\*", [&](const WIN32_FIND_DATAW& entry) {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                paths.push_back(folder + L'\\' + entry.cFileName);
            }
        });
    } catch (...) {
        paths.clear();
    }
    return paths;
}

std::string ReadSmallFile(const std::wstring& path, std::size_t limit) noexcept {
    try {
        unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size{};
        if (!file || !GetFileSizeEx(file.get(), &size) ||
            static_cast<std::uint64_t>(size.QuadPart) > limit) {
            return {};
        }
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!bytes.empty() &&
            !ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
            return {};
        }
        bytes.resize(read);
        return bytes;
    } catch (...) {
        return {};
    }
}

std::uint64_t WriteTimeOf(const std::wstring& path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)
               ? Ticks(data.ftLastWriteTime)
               : 0;
}

std::uint64_t NewestWriteTimeIn(const std::wstring& folder,
                                bool (*accepts)(const std::wstring& name)) noexcept {
    std::uint64_t newest = 0;
    try {
        ForEachEntry(folder + L"\\*", [&](const WIN32_FIND_DATAW& entry) {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                Ticks(entry.ftLastWriteTime) > newest && accepts(entry.cFileName)) {
                newest = Ticks(entry.ftLastWriteTime);
            }
        });
    } catch (...) {
        return 0;
    }
    return newest;
}

std::wstring FullPath(const std::wstring& path) noexcept {
    try {
        std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
        if (full.empty()) {
            return {};
        }
        full.resize(
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr));
        // An 8.3 name in it is another spelling of the same folder. One that differs from its
        // long name holds a tilde; without one, the long form (a look at every folder on the way,
        // a millisecond under Wine, for each source several times) would change letter case only.
        if (full.find(L'~') == std::wstring::npos) {
            return full;
        }
        std::wstring longForm(GetLongPathNameW(full.c_str(), nullptr, 0), L'\0');
        if (!longForm.empty()) {
            longForm.resize(
                GetLongPathNameW(full.c_str(), &longForm[0], static_cast<DWORD>(longForm.size())));
        }
        return longForm.empty() ? full : longForm;
    } catch (...) {
        return {};
    }
}

bool SameName(const std::wstring& a, const std::wstring& b) noexcept {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

int CompareNames(const std::wstring& a, const std::wstring& b) noexcept {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) -
           CSTR_EQUAL;
}

std::wstring NameKey(const std::wstring& name) noexcept {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a over the upper-cased UTF-16 units
    for (wchar_t c : name) {
        CharUpperBuffW(&c, 1);
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    }
    wchar_t key[20];
    std::swprintf(key, 20, L"%016llx", static_cast<unsigned long long>(hash));
    return key;
}

bool IsBelow(const std::wstring& path, const std::wstring& folder) noexcept {
    try {
        return path.size() > folder.size() && path[folder.size()] == L'\\' &&
               SameName(path.substr(0, folder.size()), folder);
    } catch (...) {
        return false;
    }
}

} // namespace sys

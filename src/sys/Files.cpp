#include "sys/Main.h"
#include "sys/Handles.h"
#include "sys/SysError.h"
#include "sys/Text.h"

namespace Main {

namespace {

constexpr DWORD kNotNormal =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The first normal file matching the path, as the file system names it.
std::wstring FirstNormalFile(const std::wstring& path) {
    WIN32_FIND_DATAW entry{};
    sys::unique_hfind find(FindFirstFileW(path.c_str(), &entry));
    if (!find) {
        return {};
    }
    do {
        if ((entry.dwFileAttributes & kNotNormal) == 0) {
            return entry.cFileName;
        }
    } while (FindNextFileW(find.get(), &entry));
    return {};
}

} // namespace

bool FileExists(const std::wstring& path) noexcept {
    try {
        return !FirstNormalFile(path).empty();
    } catch (...) {
        return false;
    }
}

std::wstring GetFileName(const std::wstring& path) noexcept {
    try {
        return FirstNormalFile(path);
    } catch (...) {
        return {};
    }
}

std::wstring GetParentFolder(const std::wstring& path) noexcept {
    try {
        const std::wstring bare = sys::RemoveQuotes(path);
        const auto slash = bare.rfind(L'\\');
        return slash == std::wstring::npos ? std::wstring() : bare.substr(0, slash);
    } catch (...) {
        return {};
    }
}

bool CopyOneFile(const std::wstring& source, const std::wstring& destination,
                 bool failIfExists) noexcept {
    return CopyFileW(source.c_str(), destination.c_str(), failIfExists ? TRUE : FALSE) != 0;
}

void WriteTextFile(const std::wstring& path, const std::string& bytes) {
    sys::unique_hfile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError(); // before the message's strings are built
        throw sys::SysError(L"Could not write the file", path, error);
    }
    const std::string text = bytes + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        const DWORD error = GetLastError();
        throw sys::SysError(L"Could not write the file", path, error);
    }
    if (written != text.size()) { // a short write sets no code of its own
        throw sys::SysError(L"Could not write the file", path, ERROR_DISK_FULL);
    }
}

void DeleteOneFile(const std::wstring& path) {
    if (!DeleteFileW(path.c_str())) {
        const DWORD error = GetLastError();
        throw sys::SysError(L"Could not delete the file", path, error);
    }
}

} // namespace Main

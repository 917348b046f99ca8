#include "sys/Main.h"
#include "sys/Handles.h"
#include "sys/SysError.h"
#include "sys/Text.h"

namespace Main {

namespace {

constexpr DWORD kNotNormal =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The first normal file matching the path, as the file system names it.
std::string FirstNormalFile(const std::string& path) {
    WIN32_FIND_DATAA entry{};
    sys::unique_hfind find(FindFirstFileA(path.c_str(), &entry));
    if (!find) {
        return {};
    }
    do {
        if ((entry.dwFileAttributes & kNotNormal) == 0) {
            return entry.cFileName;
        }
    } while (FindNextFileA(find.get(), &entry));
    return {};
}

} // namespace

bool FileExists(const std::string& path) noexcept {
    try {
        return !FirstNormalFile(path).empty();
    } catch (...) {
        return false;
    }
}

std::string GetFileName(const std::string& path) noexcept {
    try {
        return FirstNormalFile(path);
    } catch (...) {
        return {};
    }
}

std::string GetParentFolder(const std::string& path) noexcept {
    try {
        const std::string bare = sys::RemoveQuotes(path);
        const auto slash = bare.rfind('\\');
        return slash == std::string::npos ? std::string() : bare.substr(0, slash);
    } catch (...) {
        return {};
    }
}

bool CopyOneFile(const std::string& source, const std::string& destination,
                 bool failIfExists) noexcept {
    return CopyFileA(source.c_str(), destination.c_str(), failIfExists ? TRUE : FALSE) != 0;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    sys::unique_hfile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError(); // before the message's strings are built
        throw sys::SysError("Could not write the file", path, error);
    }
    const std::string bytes = text + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        const DWORD error = GetLastError();
        throw sys::SysError("Could not write the file", path, error);
    }
    if (written != bytes.size()) { // a short write sets no code of its own
        throw sys::SysError("Could not write the file", path, ERROR_DISK_FULL);
    }
}

void DeleteOneFile(const std::string& path) {
    if (!DeleteFileA(path.c_str())) {
        const DWORD error = GetLastError();
        throw sys::SysError("Could not delete the file", path, error);
    }
}

} // namespace Main

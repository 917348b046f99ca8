#include "sys/CodePage.h"
#include "sys/Folders.h"
#include "sys/Handles.h"
#include "sys/Main.h"
#include "sys/SysError.h"
#include "sys/Text.h"
#include "terminal/Kinds.h"
#include "terminal/Roads.h"

#include <stdexcept>

#include <vector>

namespace terminal {

namespace {

// The folder part of a path, made absolute first: "." and ".." resolved, a relative path
// taken from the working folder.
std::string FullFolderOf(const std::string& path) {
    const std::string bare = sys::RemoveQuotes(path);
    const DWORD size = GetFullPathNameA(bare.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return {};
    }
    std::vector<char> full(size + 1);
    const DWORD length = GetFullPathNameA(bare.c_str(), size + 1, full.data(), nullptr);
    const std::string folder = Main::GetParentFolder(std::string(full.data(), length));
    // "C:" alone would name the drive's working folder, not its root.
    return folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
}

// Identifies an existing folder whatever its spelling: 8.3 names, letter case, links.
bool FolderIdentity(const std::string& folder, BY_HANDLE_FILE_INFORMATION& info) {
    sys::unique_hfile handle(
        CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) {
        return false;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

} // namespace

std::string GetMT4Path() {
    return Main::GetRegString(HKEY_CURRENT_USER, "Software\\MetaQuotes Software\\MetaTrader 4",
                              "InstallPath", kNoTerminal);
}

bool IsNoTerminal(const std::string& folder) {
    return folder == kNoTerminal;
}

std::wstring GetKindFolder(const Terminal& terminal, const std::string& kind) {
    for (const KindSpec& spec : kKinds) {
        if (kind == spec.text) {
            return terminal.layout == Layout::Current
                       ? terminal.data + spec.dataFolder
                       : terminal.folder + sys::FromAnsi(spec.folderSuffix);
        }
    }
    throw std::logic_error("no kind is called " + kind);
}

namespace {

sys::Refusal Inexpressible(const wchar_t* what, const std::wstring& path, const wchar_t* page,
                           UINT number) {
    return {what, path,
            L"It has characters that this system's " + std::wstring(page) + L" (" +
                std::to_wstring(number) + L") cannot express."};
}

} // namespace

std::string GetDestination(const Terminal& terminal, const std::string& kind,
                           const std::string& fileName) {
    const std::wstring kindFolder = GetKindFolder(terminal, kind);
    const std::wstring wide = kindFolder + L"\\" + sys::FromAnsi(fileName);
    std::string destination;
    if (terminal.layout == Layout::Legacy) {
        sys::ToCodePage(kindFolder, CP_ACP, destination);
        destination += "\\" + fileName;
        if (!FitsConsoleCodePage(destination)) {
            throw Inexpressible(L"The compiler cannot be handed this path", wide,
                                L"console code page", GetOEMCP());
        }
        return destination;
    }
    if (!sys::IsFolder(kindFolder)) {
        throw sys::Refusal(L"This terminal has no folder for this kind of program", kindFolder,
                           L"");
    }
    // The file calls take ANSI paths, and the data folder lies in the user's profile.
    if (!sys::ToCodePage(wide, CP_ACP, destination)) {
        throw Inexpressible(L"The source cannot be installed under this path", wide, L"code page",
                            GetACP());
    }
    return destination;
}

bool IsSameFolder(const std::string& path1, const std::string& path2) {
    const std::string folder1 = FullFolderOf(path1);
    const std::string folder2 = FullFolderOf(path2);
    BY_HANDLE_FILE_INFORMATION info1{};
    BY_HANDLE_FILE_INFORMATION info2{};
    const bool exists1 = FolderIdentity(folder1, info1);
    const bool exists2 = FolderIdentity(folder2, info2);
    if (exists1 && exists2) {
        return info1.dwVolumeSerialNumber == info2.dwVolumeSerialNumber &&
               info1.nFileIndexHigh == info2.nFileIndexHigh &&
               info1.nFileIndexLow == info2.nFileIndexLow;
    }
    return !exists1 && !exists2 && !folder1.empty() && EqualIgnoringCase(folder1, folder2);
}

} // namespace terminal

#include "sys/Folders.h"
#include "sys/Handles.h"
#include "sys/Main.h"
#include "sys/SysError.h"
#include "sys/Text.h"
#include "terminal/Kinds.h"
#include "terminal/Roads.h"

#include <stdexcept>

namespace terminal {

namespace {

// The folder part of a path, made absolute first: "." and ".." resolved, a relative path
// taken from the working folder.
std::wstring FullFolderOf(const std::wstring& path) {
    const std::wstring folder = Main::GetParentFolder(sys::FullPath(sys::RemoveQuotes(path)));
    // "C:" alone would name the drive's working folder, not its root.
    return folder.size() == 2 && folder[1] == L':' ? folder + L"\\" : folder;
}

// Identifies an existing folder whatever its spelling: 8.3 names, letter case, links.
bool FolderIdentity(const std::wstring& folder, BY_HANDLE_FILE_INFORMATION& info) {
    sys::unique_hfile handle(
        CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) {
        return false;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::wstring GetMT4Path() {
    return Main::GetRegString(HKEY_CURRENT_USER, L"Software\\MetaQuotes Software\\MetaTrader 4",
                              L"InstallPath", kNoTerminal);
}

bool IsNoTerminal(const std::wstring& folder) {
    return folder == kNoTerminal;
}

std::wstring GetKindFolder(const Terminal& terminal, const std::string& kind) {
    for (const KindSpec& spec : kKinds) {
        if (kind == spec.text) {
            return terminal.layout == Layout::Current ? terminal.data + L"\\MQL4\\" + spec.folder
                                                      : terminal.folder + spec.legacyFolder;
        }
    }
    throw std::logic_error("no kind is called " + kind);
}

Destination GetDestination(const Terminal& terminal, const std::string& kind,
                           const std::wstring& source, const std::wstring& fileName) {
    const std::wstring kindFolder = GetKindFolder(terminal, kind);
    const std::wstring copy = kindFolder + L"\\" + fileName;
    if (terminal.layout == Layout::Legacy) {
        if (const UINT page = CodePageLacking(copy)) {
            throw sys::Refusal(L"The compiler cannot be handed this path", copy,
                               L"It has characters that this system's " +
                                   std::wstring(page == GetACP() ? L"" : L"console ") +
                                   L"code page (" + std::to_wstring(page) + L") cannot express.");
        }
        return {copy, IsSameFolder(copy, source) && Main::FileExists(copy)};
    }
    // Programs kept in folders of their own, beside their include files, stay there.
    const std::wstring path = sys::FullPath(source);
    if (sys::IsBelow(path, sys::FullPath(kindFolder))) {
        return {path, true};
    }
    if (!sys::IsFolder(kindFolder)) {
        throw sys::Refusal(L"This terminal has no folder for this kind of program", kindFolder,
                           L"");
    }
    return {copy, false};
}

bool IsSameFolder(const std::wstring& path1, const std::wstring& path2) {
    const std::wstring folder1 = FullFolderOf(path1);
    const std::wstring folder2 = FullFolderOf(path2);
    BY_HANDLE_FILE_INFORMATION info1{};
    BY_HANDLE_FILE_INFORMATION info2{};
    const bool exists1 = FolderIdentity(folder1, info1);
    const bool exists2 = FolderIdentity(folder2, info2);
    if (exists1 && exists2) {
        return info1.dwVolumeSerialNumber == info2.dwVolumeSerialNumber &&
               info1.nFileIndexHigh == info2.nFileIndexHigh &&
               info1.nFileIndexLow == info2.nFileIndexLow;
    }
    return !exists1 && !exists2 && !folder1.empty() && sys::SameName(folder1, folder2);
}

} // namespace terminal

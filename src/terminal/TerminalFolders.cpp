#include "sys/Folders.h"
#include "sys/Handles.h"
#include "sys/Main.h"
#include "sys/SysError.h"
#include "sys/Text.h"
#include "terminal/Roads.h"

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

Destination GetDestination(const Terminal& terminal, const std::string& kind,
                           const std::wstring& source, const std::wstring& fileName) {
    if (terminal.layout == Layout::Current && terminal.data.empty()) {
        throw sys::Refusal(std::wstring(L"This ") + terminal.generation->name +
                               L" keeps its programs in a data folder, and none was found for it",
                           terminal.folder,
                           L"Start the terminal once, so that it makes its data folder.");
    }
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

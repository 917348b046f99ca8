// Which terminal serves a source. A terminal of build 600 or later keeps its programs in a data
// folder, %APPDATA%\MetaQuotes\Terminal\<id>, whose origin.txt names the install folder; a
// portable one keeps them in its install folder.
#include "sys/CodePage.h"
#include "sys/Folders.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

#include <cstdint>
#include <cwchar>
#include <vector>

namespace terminal {

namespace {

// A data folder and the install folder its origin.txt names.
struct DataFolder {
    std::wstring data;
    std::wstring origin;
};

std::wstring WithoutTrailingBackslashes(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsInside(const std::wstring& path, const std::wstring& folder) {
    return path.size() > folder.size() && path[folder.size()] == L'\\' &&
           EqualIgnoringCase(path.substr(0, folder.size()), folder);
}

// Holds its editor and no metalang. A path longer than the file calls take is no such folder.
bool IsCurrent(const std::wstring& folder) {
    return folder.size() < MAX_PATH - 16 && sys::IsFile(folder + L"\\metaeditor.exe") &&
           !sys::IsFile(folder + L"\\metalang.exe");
}

std::vector<DataFolder> KnownDataFolders() {
    const std::wstring appData = sys::RoamingAppData();
    const std::wstring terminals = appData + L"\\MetaQuotes\\Terminal";
    std::vector<DataFolder> known;
    if (appData.empty()) {
        return known;
    }
    for (const std::wstring& data : sys::SubfoldersOf(terminals)) {
        std::wstring origin = sys::FromFileText(sys::ReadSmallFile(data + L"\\origin.txt"));
        while (!origin.empty() && std::wcschr(L" \t\r\n", origin.back()) != nullptr) {
            origin.pop_back(); // a line end, and the NUL some editors leave
        }
        origin = WithoutTrailingBackslashes(origin);
        if (!origin.empty()) {
            known.push_back({data, origin});
        }
    }
    return known;
}

Terminal Registered(const std::wstring& folder, const std::vector<DataFolder>& known) {
    if (!IsCurrent(folder)) {
        return {folder, Layout::Legacy, {}};
    }
    const std::wstring bare = WithoutTrailingBackslashes(folder);
    for (const DataFolder& candidate : known) {
        if (EqualIgnoringCase(candidate.origin, bare)) {
            return {bare, Layout::Current, candidate.data};
        }
    }
    if (sys::IsFolder(bare + L"\\MQL4")) {
        return {bare, Layout::Current, bare};
    }
    throw sys::Refusal(
        L"This MetaTrader 4 keeps its programs in a data folder, and none was found for it", folder,
        L"Start the terminal once, so that it makes its data folder.");
}

} // namespace

Terminal FindTerminal(const std::wstring& source) {
    const std::vector<DataFolder> known = KnownDataFolders();
    const std::wstring path = sys::FullPath(source);
    for (const DataFolder& candidate : known) {
        if (IsInside(path, candidate.data + L"\\MQL4") && IsCurrent(candidate.origin)) {
            return {candidate.origin, Layout::Current, candidate.data};
        }
    }
    const std::wstring registered = GetMT4Path();
    if (!IsNoTerminal(registered)) {
        return Registered(registered, known);
    }
    // The one used last: a terminal writes a log in its data folder each day it runs.
    const DataFolder* last = nullptr;
    std::uint64_t newest = 0;
    for (const DataFolder& candidate : known) {
        const std::uint64_t used = sys::NewestWriteTimeIn(candidate.data + L"\\logs");
        if (IsCurrent(candidate.origin) && (last == nullptr || used > newest)) {
            last = &candidate;
            newest = used;
        }
    }
    if (last == nullptr) {
        throw sys::Refusal(
            L"No MetaTrader 4 installation was found: the registry holds no install folder "
            L"under HKEY_CURRENT_USER\\Software\\MetaQuotes Software\\MetaTrader 4, and no "
            L"terminal's data folder names one.\r\n\r\nNothing was copied, compiled or deleted.");
    }
    return {last->origin, Layout::Current, last->data};
}

} // namespace terminal

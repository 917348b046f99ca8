// Which terminal serves a source. A terminal of build 600 or later keeps its programs in a data
// folder, %APPDATA%\MetaQuotes\Terminal\<id>, whose origin.txt names the install folder; a
// portable one keeps them in its install folder.
#include "sys/CodePage.h"
#include "sys/Folders.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

#include <algorithm>
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

bool HoldsEditor(const std::wstring& folder) {
    return sys::IsFile(folder + L"\\metaeditor.exe");
}

// The data folders of MetaTrader 4 terminals. MetaTrader 5 keeps its data folders in the same
// place, with MQL5 in them; Common, Community and Help there have no origin.txt.
std::vector<DataFolder> KnownDataFolders() {
    const std::wstring appData = sys::RoamingAppData();
    std::vector<DataFolder> known;
    if (appData.empty()) {
        return known;
    }
    for (const std::wstring& data : sys::SubfoldersOf(appData + L"\\MetaQuotes\\Terminal")) {
        if (!sys::IsFolder(data + L"\\MQL4")) {
            continue;
        }
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

// A terminal writes its journal, logs\yyyymmdd.log, each day it runs; the editor's own log
// beside it is written at every compile, whichever terminal the user runs.
bool IsDailyLog(const std::wstring& name) {
    return name.size() == 12 &&
           std::all_of(name.begin(), name.begin() + 8,
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; }) &&
           sys::SameName(name.substr(8), L".log");
}

// Before build 600 a terminal kept its programs and metalang in its own folder. One updated in
// place may keep its old metalang, but only build 600 and later make a data folder, or an MQL4
// folder of their own when portable.
Terminal Registered(const std::wstring& folder, const std::vector<DataFolder>& known) {
    const std::wstring bare = WithoutTrailingBackslashes(folder);
    if (!HoldsEditor(bare)) {
        return {folder, Layout::Legacy, {}};
    }
    for (const DataFolder& candidate : known) {
        if (sys::SameName(candidate.origin, bare)) {
            return {bare, Layout::Current, candidate.data};
        }
    }
    if (sys::IsFolder(bare + L"\\MQL4")) {
        return {bare, Layout::Current, bare};
    }
    if (sys::IsFile(bare + L"\\metalang.exe")) {
        return {folder, Layout::Legacy, {}};
    }
    throw sys::Refusal(
        L"This MetaTrader 4 keeps its programs in a data folder, and none was found for it", folder,
        L"Start the terminal once, so that it makes its data folder.");
}

constexpr const wchar_t* kNoInstallation = L"No MetaTrader 4 installation was found";
constexpr const wchar_t* kRegistered =
    L"HKEY_CURRENT_USER\\Software\\MetaQuotes Software\\MetaTrader 4";

} // namespace

Terminal FindTerminal(const std::wstring& source) {
    const std::vector<DataFolder> known = KnownDataFolders();
    const std::wstring path = sys::FullPath(source);
    for (const DataFolder& candidate : known) {
        if (sys::IsBelow(path, candidate.data + L"\\MQL4") && HoldsEditor(candidate.origin)) {
            return {candidate.origin, Layout::Current, candidate.data};
        }
    }
    // An uninstalled terminal leaves its InstallPath behind: a folder that is gone is none.
    const std::wstring registered = GetMT4Path();
    const bool gone = !IsNoTerminal(registered) && !sys::IsFolder(registered);
    if (!IsNoTerminal(registered) && !gone) {
        return Registered(registered, known);
    }
    const DataFolder* last = nullptr;
    std::uint64_t newest = 0;
    for (const DataFolder& candidate : known) {
        const std::uint64_t used = sys::NewestWriteTimeIn(candidate.data + L"\\logs", IsDailyLog);
        if (HoldsEditor(candidate.origin) && (last == nullptr || used > newest)) {
            last = &candidate;
            newest = used;
        }
    }
    if (last != nullptr) {
        return {last->origin, Layout::Current, last->data};
    }
    if (gone) {
        throw sys::Refusal(std::wstring(kNoInstallation) +
                               L". The install folder registered under " + kRegistered +
                               L" is gone",
                           registered, L"No terminal's data folder names another one.");
    }
    throw sys::Refusal(std::wstring(kNoInstallation) +
                       L": the registry holds no install folder under " + kRegistered +
                       L", and no terminal's data folder names one.\r\n\r\nNothing was copied, "
                       L"compiled or deleted.");
}

} // namespace terminal

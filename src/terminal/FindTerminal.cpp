// Which terminals there are, and which one serves a source. A terminal of build 600 or later
// keeps its programs in a data folder, %APPDATA%\MetaQuotes\Terminal\<id>, whose origin.txt
// names the install folder; a portable one keeps them in its install folder.
#include "sys/CodePage.h"
#include "sys/Folders.h"
#include "sys/Main.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <stdexcept>

namespace terminal {

namespace {

std::wstring WithoutTrailingBackslashes(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

// Two spellings of one install folder: letter case and trailing backslashes aside.
bool SameFolder(const std::wstring& a, const std::wstring& b) {
    return sys::SameName(WithoutTrailingBackslashes(a), WithoutTrailingBackslashes(b));
}

std::wstring ProgramsOf(const std::wstring& data, const Generation& generation) {
    return data + L"\\" + generation.programs;
}

// The path of the generation's editor in the folder, the preferred one first; empty when none.
std::wstring EditorIn(const std::wstring& folder, const Generation& generation) {
    for (const wchar_t* name : generation.editors) {
        if (name != nullptr && sys::IsFile(folder + L"\\" + name)) {
            return folder + L"\\" + name;
        }
    }
    return {};
}

Terminal Current(const std::wstring& folder, const std::wstring& data,
                 const Generation& generation) {
    return {folder, Layout::Current, data, &generation, EditorIn(folder, generation), {}};
}

Terminal Legacy(const std::wstring& folder, const Generation& generation) {
    return {folder, Layout::Legacy, {}, &generation, {}, {}};
}

// Every data folder whose origin.txt names an install folder; Common, Community and Help there
// have none.
std::vector<DataFolder> AllDataFolders() {
    const std::wstring appData = sys::RoamingAppData();
    std::vector<DataFolder> all;
    if (appData.empty()) {
        return all;
    }
    for (const std::wstring& data : sys::SubfoldersOf(appData + L"\\MetaQuotes\\Terminal")) {
        std::wstring origin = sys::FromFileText(sys::ReadSmallFile(data + L"\\origin.txt"));
        while (!origin.empty() && std::wcschr(L" \t\r\n", origin.back()) != nullptr) {
            origin.pop_back(); // a line end, and the NUL some editors leave
        }
        origin = WithoutTrailingBackslashes(origin);
        if (!origin.empty()) {
            all.push_back({data, origin});
        }
    }
    return all;
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
// place may keep its old metalang, but only build 600 and later make a data folder, or a folder
// of programs of their own when portable. One with neither is refused when it is used.
Terminal Registered(const std::wstring& folder, const Terminals& terminals) {
    const Generation& generation = *terminals.generation;
    const std::wstring bare = WithoutTrailingBackslashes(folder);
    if (EditorIn(bare, generation).empty()) {
        return Legacy(folder, generation);
    }
    for (const DataFolder& candidate : terminals.dataFolders) {
        if (sys::SameName(candidate.origin, bare)) {
            return Current(bare, candidate.data, generation);
        }
    }
    if (sys::IsFolder(ProgramsOf(bare, generation))) {
        return Current(bare, bare, generation);
    }
    if (generation.metalang != nullptr && sys::IsFile(bare + L"\\" + generation.metalang)) {
        return Legacy(folder, generation);
    }
    return Current(bare, {}, generation);
}

// A portable terminal keeps its programs' folder beside its editor, and no data folder names it:
// the nearest one above the path that does.
std::optional<Terminal> PortableHolding(const std::wstring& path, const Generation& generation) {
    for (auto end = path.rfind(L'\\'); end != std::wstring::npos && end > 0;
         end = path.rfind(L'\\', end - 1)) {
        const auto start = path.rfind(L'\\', end - 1);
        if (start == std::wstring::npos) {
            break;
        }
        const std::wstring root = path.substr(0, start);
        if (sys::SameName(path.substr(start + 1, end - start - 1), generation.programs) &&
            !EditorIn(root, generation).empty()) {
            return Current(root, root, generation);
        }
    }
    return std::nullopt;
}

const Terminal* ListedAt(const Terminals& terminals, const std::wstring& folder) {
    for (const Terminal& listed : terminals.listed) {
        if (SameFolder(listed.folder, folder)) {
            return &listed;
        }
    }
    return nullptr;
}

// By the folder's last component, or its whole path where another listed one has that name.
void NameAndOrder(std::vector<Terminal>& listed) {
    const auto last = [](const Terminal& terminal) {
        const std::wstring bare = WithoutTrailingBackslashes(terminal.folder);
        return bare.substr(bare.rfind(L'\\') + 1);
    };
    for (Terminal& terminal : listed) {
        const bool shared = std::count_if(listed.begin(), listed.end(), [&](const Terminal& other) {
                                return sys::SameName(last(other), last(terminal));
                            }) > 1;
        terminal.name = shared ? WithoutTrailingBackslashes(terminal.folder) : last(terminal);
    }
    std::stable_sort(listed.begin(), listed.end(), [](const Terminal& a, const Terminal& b) {
        return sys::CompareNames(a.name, b.name) < 0;
    });
}

// The folder registered as the generation's terminal, as stored; "NA" when none is.
std::wstring RegisteredFolder(const Generation& generation) {
    return generation.registryKey != nullptr
               ? Main::GetRegString(HKEY_CURRENT_USER, generation.registryKey, L"InstallPath",
                                    kNoTerminal)
               : kNoTerminal;
}

// Which kinds' folders a terminal has, and where.
std::wstring KindFolderOf(const Terminal& terminal, const KindSpec& kind) {
    if (terminal.layout == Layout::Legacy) {
        return kind.legacyFolder != nullptr ? terminal.folder + kind.legacyFolder : L"";
    }
    return terminal.data.empty()
               ? L""
               : ProgramsOf(terminal.data, *terminal.generation) + L"\\" + kind.folder;
}

} // namespace

std::wstring GetMT4Path() {
    return RegisteredFolder(kMetaTrader4);
}

bool IsNoTerminal(const std::wstring& folder) {
    return folder == kNoTerminal;
}

std::vector<Terminals> FindTerminals() {
    const std::vector<DataFolder> all = AllDataFolders();
    std::vector<Terminals> found;
    for (const Generation& generation : kGenerations) {
        Terminals& terminals = found.emplace_back();
        terminals.generation = &generation;
        terminals.registered = RegisteredFolder(generation);
        for (const DataFolder& candidate : all) {
            if (sys::IsFolder(ProgramsOf(candidate.data, generation))) {
                terminals.dataFolders.push_back(candidate);
            }
        }
        // An uninstalled terminal leaves its InstallPath behind: a folder that is gone is none.
        if (!IsNoTerminal(terminals.registered) && sys::IsFolder(terminals.registered)) {
            terminals.listed.push_back(Registered(terminals.registered, terminals));
        }
        for (const DataFolder& candidate : terminals.dataFolders) {
            if (!EditorIn(candidate.origin, generation).empty() &&
                ListedAt(terminals, candidate.origin) == nullptr) {
                terminals.listed.push_back(Current(candidate.origin, candidate.data, generation));
            }
        }
        NameAndOrder(terminals.listed);
    }
    return found;
}

Terminal FindTerminal(const Terminals& terminals, const std::wstring& source) {
    const Generation& generation = *terminals.generation;
    const std::wstring path = sys::FullPath(source);
    for (const Terminal& listed : terminals.listed) {
        if (!listed.data.empty() && sys::IsBelow(path, ProgramsOf(listed.data, generation))) {
            return listed;
        }
    }
    if (const std::optional<Terminal> portable = PortableHolding(path, generation)) {
        return *portable;
    }
    if (const Terminal* registered = ListedAt(terminals, terminals.registered)) {
        return *registered;
    }
    const Terminal* last = nullptr;
    std::uint64_t newest = 0;
    for (const Terminal& listed : terminals.listed) {
        if (listed.data.empty() || listed.Portable()) {
            continue;
        }
        const std::uint64_t used = sys::NewestWriteTimeIn(listed.data + L"\\logs", IsDailyLog);
        if (last == nullptr || used > newest) {
            last = &listed;
            newest = used;
        }
    }
    if (last != nullptr) {
        return *last;
    }
    const std::wstring none = std::wstring(L"No ") + generation.name + L" installation was found";
    const std::wstring key = std::wstring(L"HKEY_CURRENT_USER\\") +
                             (generation.registryKey ? generation.registryKey : L"");
    if (!IsNoTerminal(terminals.registered)) {
        throw sys::Refusal(none + L". The install folder registered under " + key + L" is gone",
                           terminals.registered, L"No terminal's data folder names another one.");
    }
    throw sys::Refusal(none + L": " +
                       (generation.registryKey
                            ? L"the registry holds no install folder under " + key + L", and no"
                            : std::wstring(L"no")) +
                       L" terminal's data folder names one.\r\n\r\nNothing was copied, compiled "
                       L"or deleted.");
}

Terminal NamedTerminal(const Terminals& terminals, const std::wstring& folder) {
    const Generation& generation = *terminals.generation;
    if (const Terminal* listed = ListedAt(terminals, folder)) {
        return *listed;
    }
    const std::wstring bare = WithoutTrailingBackslashes(folder);
    const bool editor = !EditorIn(bare, generation).empty();
    if (editor && sys::IsFolder(ProgramsOf(bare, generation))) {
        return Current(bare, bare, generation);
    }
    if (!editor && generation.metalang != nullptr &&
        sys::IsFile(bare + L"\\" + generation.metalang)) {
        return Legacy(folder, generation);
    }
    throw sys::Refusal(std::wstring(L"Tarvex knows no ") + generation.name +
                           L" terminal in this folder",
                       folder, L"");
}

bool IsInAnotherTerminal(const Terminals& terminals, const Terminal* served,
                         const std::wstring& source) {
    const std::wstring path = sys::FullPath(source);
    const auto holds = [&](const Terminal& terminal) {
        if (served != nullptr && SameFolder(terminal.folder, served->folder)) {
            return false;
        }
        return std::any_of(std::begin(kKinds), std::end(kKinds), [&](const KindSpec& kind) {
            const std::wstring folder = KindFolderOf(terminal, kind);
            return !folder.empty() && sys::IsBelow(path, sys::FullPath(folder));
        });
    };
    const std::optional<Terminal> portable = PortableHolding(path, *terminals.generation);
    return std::any_of(terminals.listed.begin(), terminals.listed.end(), holds) ||
           (portable && holds(*portable));
}

std::wstring GetKindFolder(const Terminal& terminal, const std::string& kind) {
    for (const KindSpec& spec : kKinds) {
        if (kind == spec.text) {
            return KindFolderOf(terminal, spec);
        }
    }
    throw std::logic_error("no kind is called " + kind);
}

} // namespace terminal

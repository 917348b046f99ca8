#include "StandInTerminal.h"

#include "sys/Handles.h"

#include <stdexcept>

namespace testing_support {

namespace {
constexpr const char* kKindFolders[][2] = {{"Expert Advisor", "\\experts"},
                                           {"Indicator", "\\experts\\indicators"},
                                           {"Script", "\\experts\\scripts"},
                                           {"Library", "\\experts\\libraries"}};
} // namespace

StandInTerminal::StandInTerminal(const std::string& folderName) : path_(root_ / folderName) {
    MakeFolder(path_);
    for (const auto& kind : kKindFolders) {
        MakeFolder(path_ + kind[1]);
    }
    for (const char* tool : {"\\metalang.exe", "\\MetaEditor.exe"}) {
        if (!CopyFileW(Wide(BuildFolder() + tool).c_str(), Wide(path_ + tool).c_str(), FALSE)) {
            throw std::runtime_error(std::string("cannot copy the stand-in ") + tool);
        }
    }
    SetText(HKEY_CURRENT_USER, kTerminalKey, "InstallPath", path_);
}

StandInTerminal::~StandInTerminal() {
    ForgetTerminal();
}

std::string StandInTerminal::KindFolder(const std::string& kind) const {
    for (const auto& entry : kKindFolders) {
        if (kind == entry[0]) {
            return path_ + entry[1];
        }
    }
    throw std::invalid_argument("no kind " + kind);
}

std::vector<ToolRun> StandInTerminal::Runs() const {
    std::vector<ToolRun> runs;
    if (!PathExists(path_ + "\\standins.log")) {
        return runs;
    }
    const std::string log = ReadBytes(path_ + "\\standins.log");
    std::string::size_type at = 0;
    for (auto end = log.find("\r\n"); end != std::string::npos; end = log.find("\r\n", at)) {
        std::string fields[5];
        std::size_t field = 0;
        for (auto i = at; i < end; ++i) {
            if (log[i] == '|' && field < 4) {
                ++field;
            } else {
                fields[field] += log[i];
            }
        }
        runs.push_back({fields[0], fields[1], fields[2], fields[3] == "1", fields[4]});
        at = end + 2;
    }
    return runs;
}

std::vector<ToolRun> StandInTerminal::WaitForRuns(std::size_t count,
                                                  unsigned long milliseconds) const {
    const DWORD start = GetTickCount();
    auto runs = Runs();
    while (runs.size() < count && GetTickCount() - start < milliseconds) {
        Sleep(20);
        runs = Runs();
    }
    return runs;
}

void ForgetTerminal() {
    sys::unique_hkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTerminalKey, 0, KEY_SET_VALUE, key.put()) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key.get(), "InstallPath");
    }
}

} // namespace testing_support

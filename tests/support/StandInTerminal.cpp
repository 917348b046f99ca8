#include "StandInTerminal.h"

namespace testing_support {

StandInTerminal::StandInTerminal(const std::string& folderName) : path_(root_ / folderName) {
    for (const char* folder :
         {"", "\\experts", "\\experts\\indicators", "\\experts\\scripts", "\\experts\\libraries"}) {
        MakeFolder(path_ + folder);
    }
    for (const char* tool : {"metalang.exe", "MetaEditor.exe"}) {
        CopyFileA((BuildFolder() + "\\" + tool).c_str(), (path_ + "\\" + tool).c_str(), FALSE);
    }
    SetValue(HKEY_CURRENT_USER, kTerminalKey, "InstallPath", REG_SZ, path_ + '\0');
}

StandInTerminal::~StandInTerminal() {
    ForgetTerminal();
}

std::string StandInTerminal::KindFolder(const std::string& kind) const {
    if (kind == "Indicator") {
        return Experts() + "\\indicators";
    }
    if (kind == "Script") {
        return Experts() + "\\scripts";
    }
    if (kind == "Library") {
        return Experts() + "\\libraries";
    }
    return Experts();
}

std::vector<ToolRun> StandInTerminal::Runs() const {
    std::vector<ToolRun> runs;
    std::string log;
    try {
        log = ReadBytes(path_ + "\\standins.log");
    } catch (...) {
        return runs;
    }
    std::string::size_type at = 0;
    for (auto end = log.find("\r\n"); end != std::string::npos; end = log.find("\r\n", at)) {
        const std::string line = log.substr(at, end - at);
        const auto first = line.find('|');
        const auto last = line.rfind('|');
        runs.push_back({line.substr(0, first), line.substr(first + 1, last - first - 1),
                        line.substr(last + 1)});
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
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTerminalKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "InstallPath");
        RegCloseKey(key);
    }
}

} // namespace testing_support

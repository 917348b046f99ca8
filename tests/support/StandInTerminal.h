// A MetaTrader 4 folder for the tests: the stand-in tools, the kind folders, and the
// registry value that points to it.
#pragma once

#include "TestSupport.h"

#include <string>
#include <vector>

namespace testing_support {

struct ToolRun {
    std::string program;     // "metalang" or "MetaEditor"
    std::string commandLine; // as the tool received it, in UTF-8
    std::string folder;      // its working folder
    bool fileFound = false;  // its last argument names an existing file
    std::string batchLine;   // line 2 of the batch file that ran it, as cmd read it
};

class StandInTerminal {
public:
    // folderName: the terminal folder's own name (UTF-8) inside a new temp folder.
    explicit StandInTerminal(const std::string& folderName = "MetaTrader 4");
    ~StandInTerminal();

    const std::string& Path() const { return path_; }
    std::string KindFolder(const std::string& kind) const; // by the kind's text

    std::vector<ToolRun> Runs() const;
    // Waits until at least count runs are recorded; returns them.
    std::vector<ToolRun> WaitForRuns(std::size_t count, unsigned long milliseconds = 20000) const;

private:
    TempFolder root_;
    std::string path_;
};

constexpr const char* kTerminalKey = "Software\\MetaQuotes Software\\MetaTrader 4";
void ForgetTerminal(); // removes the InstallPath value

} // namespace testing_support

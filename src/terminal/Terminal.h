// What the program knows of MetaTrader: which terminals there are, which one serves a source and
// how it is laid out, the kinds of source, and its tools.
#pragma once

#include "terminal/Generations.h"

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace terminal {

// What stands for the terminal folder when none is registered.
constexpr const wchar_t* kNoTerminal = L"NA";
bool IsNoTerminal(const std::wstring& folder);

// The registered MetaTrader 4 terminal folder as stored, or "NA" when it cannot be read.
std::wstring GetMT4Path();

// Before build 600 a terminal keeps its programs in its own folder and compiles them with
// metalang; from build 600 on, it keeps them in a data folder and compiles them with its editor.
enum class Layout { Legacy, Current };

// A terminal, as found once per run.
struct Terminal {
    std::wstring folder; // where it is installed
    Layout layout = Layout::Legacy;
    std::wstring data; // current: the folder that holds its programs' folder; the install folder
                       // when portable; empty when none was found
    const Generation* generation = &kMetaTrader4;
    std::wstring editor; // current: the editor's path
    std::wstring name;   // as a menu lists it

    bool Portable() const { return layout == Layout::Current && data == folder; }
};

// A data folder, and the install folder its origin.txt names.
struct DataFolder {
    std::wstring data;
    std::wstring origin;
};

// The terminals of one generation that a run can choose from.
struct Terminals {
    const Generation* generation = &kMetaTrader4;
    std::wstring registered; // its InstallPath as stored; "NA" when none
    // The data folders that hold this generation's programs' folder.
    std::vector<DataFolder> dataFolders;
    // The registered one, when its folder is there, and every current one whose data folder
    // names it and whose folder holds the editor; each folder once, in the order of their names,
    // letter case aside. A name is the folder's last component, or its whole path where two
    // share it.
    std::vector<Terminal> listed;
};

// Every generation's terminals, in the order of kGenerations.
std::vector<Terminals> FindTerminals();

// The terminal that serves a source: the one whose programs' folder holds it; else the registered
// one; else the current one used last. Throws sys::Refusal when there is none.
Terminal FindTerminal(const Terminals& terminals, const std::wstring& source);

// The terminal in that folder (letter case and a trailing backslash aside): a listed one, a
// portable one, or, before build 600, one with metalang. Throws sys::Refusal naming the folder
// when there is none of this generation.
Terminal NamedTerminal(const Terminals& terminals, const std::wstring& folder);

// The source lies below a kind folder of a terminal other than the one served (null: any): a
// copy of it taken away from there would take the program out of that terminal.
bool IsInAnotherTerminal(const Terminals& terminals, const Terminal* served,
                         const std::wstring& source);

// Where the terminal keeps the programs of the kind named by its text.
std::wstring GetKindFolder(const Terminal& terminal, const std::string& kind);

// The file the terminal compiles: the source's copy in its kind folder, or the source itself
// where it already lies in its kind folder (on a current terminal, at any depth below it).
struct Destination {
    std::wstring path;
    bool inPlace = false; // the source itself: nothing is copied, and it is never deleted
};

// Throws sys::Refusal when a current terminal has no data folder or no folder for the kind, or
// when a legacy terminal's tools cannot be handed the path.
Destination GetDestination(const Terminal& terminal, const std::string& kind,
                           const std::wstring& source, const std::wstring& fileName);

// True when both paths' folders are one folder, as the file system resolves them.
bool IsSameFolder(const std::wstring& path1, const std::wstring& path2);

// "Expert Advisor", "Indicator", "Script", "Library" or "Service", by the generation's rule.
// Removes the double quotes from path in place. Throws sys::SysError when the file cannot be
// opened or read.
std::string GetType(std::wstring& path, const Generation& generation);

struct CompileReport {
    enum class State {
        Ran,      // handed to the compiler, which tells nothing back (legacy)
        Compiled, // the editor compiled it
        Failed,   // the editor ran and did not compile it, or did not finish and was ended
        NotRun,   // nothing ran: no turn on the terminal, or the editor could not be started
    };
    State state = State::Ran;
    std::wstring reason; // Failed, NotRun: why, in words for the user
};

// Continue on error: compiles the installed file with the terminal's tool, in this run's turn
// on the terminal.
CompileReport Compile(const Terminal& terminal, const std::wstring& file) noexcept;

// An editor being opened. Before build 600 that runs through run.bat, which must not be
// rewritten while its interpreter reads it: a worker keeps the run's turn until then, so that
// nobody waits for the editor. Destroying this waits for that turn to end.
class EditorLaunch {
public:
    EditorLaunch() = default;
    explicit EditorLaunch(std::wstring failure, std::thread worker = {}) noexcept
        : worker_(std::move(worker)), failure_(std::move(failure)) {}
    EditorLaunch(EditorLaunch&&) noexcept = default;
    EditorLaunch& operator=(EditorLaunch&& other) noexcept;
    ~EditorLaunch();

    bool Started() const { return failure_.empty(); }
    // Why nothing was started, in words for the user.
    const std::wstring& Failure() const { return failure_; }

private:
    std::thread worker_;
    std::wstring failure_;
};

// Opens the installed file in the terminal's editor; does not wait for the editor. Throws
// sys::SysError when run.bat cannot be written.
EditorLaunch OpenMetaEditor(const Terminal& terminal, const std::wstring& file);

} // namespace terminal

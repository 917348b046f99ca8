// What the program knows of MetaTrader 4: which terminal serves a source and how it is laid
// out, the kinds of source, and its tools.
#pragma once

#include <string>
#include <thread>
#include <utility>

namespace terminal {

// What stands for the terminal folder when none is registered.
constexpr const wchar_t* kNoTerminal = L"NA";
bool IsNoTerminal(const std::wstring& folder);

// The registered terminal folder as stored, or "NA" when it cannot be read.
std::wstring GetMT4Path();

// Before build 600 a terminal keeps its programs in its own folder and compiles them with
// metalang; from build 600 on, it keeps them in a data folder and compiles them with its editor.
enum class Layout { Legacy, Current };

// The terminal one run works with, found once.
struct Terminal {
    std::wstring folder; // where it is installed
    Layout layout = Layout::Legacy;
    std::wstring data; // current: the folder that holds MQL4; the install folder when portable

    bool Portable() const { return layout == Layout::Current && data == folder; }
};

// The terminal whose data folder holds the source; else the registered one, when its folder is
// there; else the current terminal used last. Throws sys::Refusal when there is none, or when a
// current terminal has no data folder.
Terminal FindTerminal(const std::wstring& source);

// Where the terminal keeps the programs of the kind named by its text.
std::wstring GetKindFolder(const Terminal& terminal, const std::string& kind);

// The file the terminal compiles: the source's copy in its kind folder, or the source itself
// where it already lies in its kind folder (on a current terminal, at any depth below it).
struct Destination {
    std::wstring path;
    bool inPlace = false; // the source itself: nothing is copied, and it is never deleted
};

// Throws sys::Refusal when the kind folder of a current terminal is missing, or when a legacy
// terminal's tools cannot be handed the path.
Destination GetDestination(const Terminal& terminal, const std::string& kind,
                           const std::wstring& source, const std::wstring& fileName);

// True when both paths' folders are one folder, as the file system resolves them.
bool IsSameFolder(const std::wstring& path1, const std::wstring& path2);

// "Expert Advisor", "Indicator", "Script" or "Library". Removes the double quotes from path
// in place. Throws sys::SysError when the file cannot be opened or read.
std::string GetType(std::wstring& path);

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

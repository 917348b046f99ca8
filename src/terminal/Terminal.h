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

// The terminal whose data folder holds the source; else the registered one; else the current
// terminal used last. Throws sys::Refusal when there is none, or when a current terminal has
// no data folder.
Terminal FindTerminal(const std::wstring& source);

// Where the terminal keeps the programs of the kind named by its text.
std::wstring GetKindFolder(const Terminal& terminal, const std::string& kind);

// The path of the source's copy in its kind folder. Throws sys::Refusal when the kind folder of
// a current terminal is missing, or when a legacy terminal's tools cannot be handed the path.
std::wstring GetDestination(const Terminal& terminal, const std::string& kind,
                            const std::wstring& fileName);

// True when both paths' folders are one folder, as the file system resolves them.
bool IsSameFolder(const std::wstring& path1, const std::wstring& path2);

// "Expert Advisor", "Indicator", "Script" or "Library". Removes the double quotes from path
// in place. Throws sys::SysError when the file cannot be opened or read.
std::string GetType(std::wstring& path);

struct CompileReport {
    enum class State {
        Ran,      // handed to the compiler, which tells nothing back (legacy)
        Compiled, // the compiler wrote the program
        Failed,   // it did not
        NoTurn,   // other runs kept the terminal too long: nothing was written or run
    };
    State state = State::Ran;
    std::wstring result; // Failed: the result line of the compiler's log, when there is one
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
    EditorLaunch(std::thread worker, bool started) noexcept
        : worker_(std::move(worker)), started_(started) {}
    EditorLaunch(EditorLaunch&&) noexcept = default;
    EditorLaunch& operator=(EditorLaunch&& other) noexcept;
    ~EditorLaunch();

    // False when other runs kept the terminal too long: nothing was written or run.
    bool Started() const { return started_; }

private:
    std::thread worker_;
    bool started_ = true;
};

// Opens the installed file in the terminal's editor; does not wait for the editor. Throws
// sys::SysError when run.bat cannot be written.
EditorLaunch OpenMetaEditor(const Terminal& terminal, const std::wstring& file);

} // namespace terminal

// The install of one source file, started from the context menu: into the terminal that serves
// it, into the one named, or into every terminal.
#include "app/Arguments.h"
#include "app/Messages.h"
#include "app/frMain.h"
#include "sys/Main.h"
#include "sys/SysError.h"

namespace {

// The failure of the copy itself: the code is taken before anything else can change it.
[[noreturn]] void CopyFailed(const std::wstring& destination) {
    const DWORD error = GetLastError();
    throw sys::SysError(L"Could not copy the source file to", destination, error);
}

void Warn(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), kAppTitle, kStyleWarning);
}

// What became of the installed file, and why.
std::wstring Said(const std::wstring& what, const std::wstring& destination,
                  const std::wstring& why) {
    return what + L"\r\n" + destination + (why.empty() ? L"" : L"\r\n\r\n" + why);
}

std::wstring Kept(const std::wstring& source) {
    return L"\r\n\r\nThe source was kept:\r\n" + source;
}

std::wstring Wide(const std::string& kind) {
    return std::wstring(kind.begin(), kind.end());
}

} // namespace

void frMain::InstallSource(const std::wstring& sourcePath, const std::wstring& choice,
                           const terminal::Terminals& terminals) {
    std::wstring source = sourcePath;
    const std::wstring fileName = Main::GetFileName(source);
    const std::string kind = terminal::GetType(source, *terminals.generation);
    const bool every = choice == app::kEveryTerminal;
    if (every && terminals.listed.size() >= 2) {
        InstallInEvery(terminals, source, fileName, kind);
        return;
    }
    const terminal::Terminal target = every && terminals.listed.size() == 1 ? terminals.listed[0]
                                      : every || choice.empty()
                                          ? terminal::FindTerminal(terminals, source)
                                          : terminal::NamedTerminal(terminals, choice);
    InstallInOne(terminals, target, source, fileName, kind);
}

frMain::Outcome frMain::InstallInto(const terminal::Terminal& target, const std::wstring& source,
                                    const std::wstring& fileName, const std::string& kind) {
    Outcome outcome;
    outcome.destination = terminal::GetDestination(target, kind, source, fileName);
    const std::wstring& destination = outcome.destination.path;
    if (!outcome.destination.inPlace && !CopyOrAsk(source, destination)) {
        outcome.declined = true;
        return outcome;
    }
    const bool open = IsChecked(settings::idOption1);
    if (!open && !IsChecked(settings::idOption2)) {
        return outcome;
    }
    const terminal::CompileReport report = terminal::Compile(target, destination);
    using State = terminal::CompileReport::State;
    // Where the terminal tells how the compile went, the source of a failed one stays: it is
    // what the user has to mend. Before build 600 nothing is told.
    outcome.keep = target.layout == terminal::Layout::Current && report.state != State::Compiled;
    if (report.state == State::Failed) {
        outcome.compileSaid =
            Said(L"This file was installed but did not compile:", destination, report.reason);
    } else if (report.state == State::NotRun) {
        outcome.compileSaid = Said(open ? L"This file was installed but not compiled or opened:"
                                        : L"This file was installed but not compiled:",
                                   destination, report.reason);
    }
    if (open && report.state != State::NotRun) {
        outcome.editor = terminal::OpenMetaEditor(target, destination);
        if (!outcome.editor.Started()) {
            outcome.openSaid = Said(L"This file was installed but not opened:", destination,
                                    outcome.editor.Failure());
        }
    }
    return outcome;
}

void frMain::InstallInOne(const terminal::Terminals& terminals, const terminal::Terminal& target,
                          const std::wstring& source, const std::wstring& fileName,
                          const std::string& kind) {
    Outcome outcome = InstallInto(target, source, fileName, kind);
    if (outcome.declined) {
        EndAtOnce(ExitCode::Done);
    }
    // Only a source that this run copied away from elsewhere may go: never the only copy, nor a
    // program of another terminal.
    const bool deleting = IsChecked(settings::idDelete) && !outcome.destination.inPlace &&
                          !terminal::IsInAnotherTerminal(terminals, &target, source);
    if (!outcome.compileSaid.empty()) {
        Warn(outcome.compileSaid + (deleting && outcome.keep ? Kept(source) : L""));
    }
    if (!outcome.openSaid.empty()) {
        Warn(outcome.openSaid);
    }
    Tell(source, *terminals.generation);
    if (deleting && !outcome.keep) {
        Main::DeleteOneFile(source);
    }
    Unload();
    // The editor's turn on the terminal, if it is still held, ends before the program does.
}

void frMain::InstallInEvery(const terminal::Terminals& terminals, const std::wstring& source,
                            const std::wstring& fileName, const std::string& kind) {
    std::vector<Outcome> outcomes; // their editors' turns end before the program does
    std::wstring report;
    std::wstring names;
    bool tookIt = true; // every terminal has the program, compiled or handed to its compiler
    bool quiet = true;  // and nothing at all is to be said
    bool inPlace = false;
    for (const terminal::Terminal& target : terminals.listed) {
        std::wstring said;
        try {
            Outcome& outcome = outcomes.emplace_back(InstallInto(target, source, fileName, kind));
            inPlace = inPlace || outcome.destination.inPlace;
            tookIt = tookIt && !outcome.declined && outcome.compileSaid.empty();
            said = outcome.declined ? Said(L"Not installed: the file already there was kept:",
                                           outcome.destination.path, L"")
                                    : outcome.compileSaid +
                                          (outcome.compileSaid.empty() || outcome.openSaid.empty()
                                               ? L""
                                               : L"\r\n\r\n") +
                                          outcome.openSaid;
        } catch (const sys::Error& error) {
            tookIt = false;
            said = error.Detail();
        }
        quiet = quiet && said.empty();
        report += L"\r\n\r\n" + target.name + L"\r\n" + (said.empty() ? L"Installed." : said);
        names += L"\r\n" + target.name;
    }
    const bool deleting = IsChecked(settings::idDelete) && !inPlace &&
                          !terminal::IsInAnotherTerminal(terminals, nullptr, source);
    if (!quiet) {
        Warn(L"The " + Wide(kind) + L" was not installed in every terminal:" + report +
             (deleting && !tookIt ? Kept(source) : L""));
    } else if (IsChecked(settings::idTell)) {
        const std::wstring message = L"The " + Wide(kind) + L" has been installed in " +
                                     std::to_wstring(terminals.listed.size()) + L" terminals:" +
                                     names;
        MessageBoxW(nullptr, message.c_str(), kAppTitle, kStylePlain);
    }
    if (deleting && tookIt) {
        Main::DeleteOneFile(source);
    }
    Unload();
}

void frMain::Tell(const std::wstring& source, const terminal::Generation& generation) {
    if (IsChecked(settings::idTell)) {
        std::wstring again = source;
        const std::wstring message =
            L"The " + Wide(terminal::GetType(again, generation)) + L" has been installed!";
        MessageBoxW(nullptr, message.c_str(), kAppTitle, kStylePlain);
    }
}

// Copies without replacing, so that two runs installing files of one name cannot both find
// the name free: a file already there is replaced only on the user's Yes.
bool frMain::CopyOrAsk(const std::wstring& source, const std::wstring& destination) {
    if (Main::CopyOneFile(source, destination, true)) {
        return true;
    }
    // A folder or a hidden file of that name is no file to replace: the copy fails as it would.
    if (Main::FileExists(destination)) {
        // Which file: another run of this selection may have copied a source of the same name.
        const std::wstring question =
            L"The file is already exist! Do you want to replace it?\r\n\r\n" + destination;
        const int answer = MessageBoxW(nullptr, question.c_str(), L"Exist", kStyleQuestion);
        // Only a Yes replaces: No, a closed box or a box that could not be shown change nothing.
        if (answer != IDYES) {
            return false;
        }
    }
    if (!Main::CopyOneFile(source, destination, false)) {
        CopyFailed(destination);
    }
    return true;
}

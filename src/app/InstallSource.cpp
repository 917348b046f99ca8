// The install of one source file, started from the context menu.
#include "app/Messages.h"
#include "app/frMain.h"
#include "sys/Main.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

namespace {

// The failure of the copy itself: the code is taken before anything else can change it.
[[noreturn]] void CopyFailed(const std::wstring& destination) {
    const DWORD error = GetLastError();
    throw sys::SysError(L"Could not copy the source file to", destination, error);
}

// What became of the installed file, why, and where the source is when it was kept.
void Warn(const std::wstring& what, const std::wstring& destination, const std::wstring& why,
          const std::wstring& kept) {
    const std::wstring text =
        what + L"\r\n" + destination + (why.empty() ? L"" : L"\r\n\r\n" + why) + kept;
    MessageBoxW(nullptr, text.c_str(), kAppTitle, kStyleWarning);
}

} // namespace

void frMain::InstallSource(const std::wstring& sourcePath) {
    std::wstring source = sourcePath;
    const std::wstring fileName = Main::GetFileName(source);
    const std::string kind = terminal::GetType(source);
    const terminal::Terminal mt4 = terminal::FindTerminal(source);
    const terminal::Destination destination = terminal::GetDestination(mt4, kind, source, fileName);
    if (!destination.inPlace) {
        CopyOrAsk(source, destination.path);
    }
    // Only a source that this run copied away from elsewhere may go: never the only copy.
    const bool deleting = IsChecked(settings::idDelete) && !destination.inPlace;
    const std::wstring kept = deleting ? L"\r\n\r\nThe source was kept:\r\n" + source : L"";

    bool keep = false;
    terminal::EditorLaunch editor;
    const bool open = IsChecked(settings::idOption1);
    if (open || IsChecked(settings::idOption2)) {
        const terminal::CompileReport report = terminal::Compile(mt4, destination.path);
        using State = terminal::CompileReport::State;
        // Where the terminal tells how the compile went, the source of a failed one stays: it is
        // what the user has to mend. Before build 600 nothing is told.
        keep = mt4.layout == terminal::Layout::Current && report.state != State::Compiled;
        if (report.state == State::Failed) {
            Warn(L"This file was installed but did not compile:", destination.path, report.reason,
                 keep ? kept : L"");
        } else if (report.state == State::NotRun) {
            Warn(open ? L"This file was installed but not compiled or opened:"
                      : L"This file was installed but not compiled:",
                 destination.path, report.reason, keep ? kept : L"");
        }
        if (open && report.state != State::NotRun) {
            editor = terminal::OpenMetaEditor(mt4, destination.path);
            if (!editor.Started()) {
                Warn(L"This file was installed but not opened:", destination.path, editor.Failure(),
                     L"");
            }
        }
    }

    if (IsChecked(settings::idTell)) {
        std::wstring again = source;
        const std::string kind = terminal::GetType(again);
        const std::wstring message =
            L"The " + std::wstring(kind.begin(), kind.end()) + L" has been installed!";
        MessageBoxW(nullptr, message.c_str(), kAppTitle, kStylePlain);
    }

    if (deleting && !keep) {
        Main::DeleteOneFile(source);
    }
    Unload();
    // The editor's turn on the terminal, if it is still held, ends before the program does.
}

// Copies without replacing, so that two runs installing files of one name cannot both find
// the name free: a file already there is replaced only on the user's Yes.
void frMain::CopyOrAsk(const std::wstring& source, const std::wstring& destination) {
    if (Main::CopyOneFile(source, destination, true)) {
        return;
    }
    // A folder or a hidden file of that name is no file to replace: the copy fails as it would.
    if (Main::FileExists(destination)) {
        // Which file: another run of this selection may have copied a source of the same name.
        const std::wstring question =
            L"The file is already exist! Do you want to replace it?\r\n\r\n" + destination;
        const int answer = MessageBoxW(nullptr, question.c_str(), L"Exist", kStyleQuestion);
        // Only a Yes replaces: No, a closed box or a box that could not be shown change nothing.
        if (answer != IDYES) {
            EndAtOnce(ExitCode::Done);
        }
    }
    if (!Main::CopyOneFile(source, destination, false)) {
        CopyFailed(destination);
    }
}

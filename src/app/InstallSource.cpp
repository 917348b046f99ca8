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

void Warn(const std::wstring& what, const std::wstring& destination, const std::wstring& why) {
    MessageBoxW(nullptr, (what + L"\r\n" + destination + why).c_str(), kAppTitle, kStyleWarning);
}

constexpr const wchar_t* kBusy = L"\r\n\r\nOther runs of Tarvex kept this terminal busy too long.";

} // namespace

void frMain::InstallSource(const std::wstring& sourcePath) {
    std::wstring source = sourcePath;
    const std::wstring fileName = Main::GetFileName(source);
    const std::string kind = terminal::GetType(source);
    const terminal::Terminal mt4 = terminal::FindTerminal(source);
    const std::wstring destination = terminal::GetDestination(mt4, kind, fileName);
    // A source that lies in its kind folder is compiled where it is.
    const bool copied =
        !(terminal::IsSameFolder(destination, source) && Main::FileExists(destination));
    if (copied) {
        CopyOrAsk(source, destination);
    }

    terminal::EditorLaunch editor;
    const bool open = IsChecked(settings::idOption1);
    if (open || IsChecked(settings::idOption2)) {
        const terminal::CompileReport report = terminal::Compile(mt4, destination);
        using State = terminal::CompileReport::State;
        if (report.state == State::Failed) {
            Warn(L"This file was installed but did not compile:", destination,
                 report.result.empty() ? L"" : L"\r\n\r\n" + report.result);
        } else if (report.state == State::NoTurn) {
            Warn(open ? L"This file was installed but not compiled or opened:"
                      : L"This file was installed but not compiled:",
                 destination, kBusy);
        }
        if (open && report.state != State::NoTurn) {
            editor = terminal::OpenMetaEditor(mt4, destination);
            if (!editor.Started()) {
                Warn(L"This file was installed but not opened:", destination, kBusy);
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

    // Only a source that this run copied away from elsewhere may go: never the only copy.
    const std::wstring nameAgain = Main::GetFileName(source);
    if (IsChecked(settings::idDelete) && copied &&
        !terminal::IsSameFolder(Main::GetParentFolder(destination) + L"\\" + nameAgain, source)) {
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
        const int answer =
            MessageBoxW(nullptr, L"The file is already exist! Do you want to replace it?", L"Exist",
                        kStyleQuestion);
        // Only a Yes replaces: No, a closed box or a box that could not be shown change nothing.
        if (answer != IDYES) {
            EndAtOnce(ExitCode::Done);
        }
    }
    if (!Main::CopyOneFile(source, destination, false)) {
        CopyFailed(destination);
    }
}

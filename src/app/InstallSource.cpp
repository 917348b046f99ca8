// The install of one source file, started from the context menu.
#include "app/Messages.h"
#include "app/Placement.h"
#include "app/frMain.h"
#include "sys/Main.h"
#include "sys/CodePage.h"
#include "sys/SysError.h"
#include "sys/Text.h"
#include "terminal/Terminal.h"

#include <stdexcept>

namespace {

// A failed copy must not pass for an installed one.
void CopyOrFail(const std::string& source, const std::string& destination) {
    if (!Main::CopyOneFile(source, destination, false)) {
        throw sys::SysError("Could not copy the source file to", destination, GetLastError());
    }
}

} // namespace

void frMain::InstallSource(const std::string& sourcePath) {
    std::string source = sourcePath;
    const std::string fileName = Main::GetFileName(source);
    const std::string kind = terminal::GetType(source);
    const std::string kindFolder = terminal::GetKindFolder(kind);
    if (terminal::IsNoTerminal(kindFolder)) {
        throw std::runtime_error(
            "No MetaTrader 4 installation was found: the registry holds no install folder "
            "under HKEY_CURRENT_USER\\Software\\MetaQuotes Software\\MetaTrader 4.\r\n\r\n"
            "Nothing was copied, compiled or deleted.");
    }
    const std::string destination = kindFolder + "\\" + fileName;
    if (!terminal::FitsConsoleCodePage(destination)) {
        throw std::runtime_error(
            "The compiler cannot be handed this path:\r\n" + sys::Shortened(destination) +
            "\r\n\r\nIt has characters that this system's console code page (" +
            std::to_string(GetOEMCP()) +
            ") cannot express. Nothing was copied, compiled or deleted.");
    }

    const app::Placement placement = app::PlacementOf(terminal::IsSameFolder(destination, source),
                                                      Main::FileExists(destination));
    if (placement == app::Placement::Ask &&
        !app::Replaces(MessageBoxW(nullptr,
                                   L"The file is already exist! Do you want to replace it?",
                                   L"Exist", kStyleQuestion))) {
        EndAtOnce(ExitCode::Done);
    }
    const bool copied = placement != app::Placement::InPlace;
    if (copied) {
        CopyOrFail(source, destination);
    }

    if (IsChecked(settings::idOption1)) {
        terminal::Compile(destination);
        terminal::OpenMetaEditor(destination);
    }
    if (IsChecked(settings::idOption2)) {
        terminal::Compile(destination);
    }

    if (IsChecked(settings::idTell)) {
        std::string again = source;
        const std::string message = "The " + terminal::GetType(again) + " has been installed!";
        MessageBoxW(nullptr, sys::FromCodePage(message, CP_ACP).c_str(), kAppTitle, kStylePlain);
    }

    // Only a source that this run copied away from elsewhere may go: never the only copy.
    const std::string nameAgain = Main::GetFileName(source);
    if (IsChecked(settings::idDelete) && copied &&
        !terminal::IsSameFolder(kindFolder + "\\" + nameAgain, source)) {
        Main::DeleteOneFile(source);
    }
    Unload();
}

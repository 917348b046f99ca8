// The install of one source file, started from the context menu.
#include "app/Messages.h"
#include "app/frMain.h"
#include "sys/Main.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

#include <stdexcept>

namespace {

struct KindFolder {
    const char* kind;
    std::string (*folder)();
};

constexpr KindFolder kKindFolders[] = {
    {"Indicator", terminal::GetIndicatorsPath},
    {"Expert Advisor", terminal::GetExpertsPath},
    {"Script", terminal::GetScriptsPath},
    {"Library", terminal::GetLibrariesPath},
};

std::string KindFolderOf(const std::string& kind) {
    for (const auto& entry : kKindFolders) {
        if (kind == entry.kind) {
            return entry.folder();
        }
    }
    throw std::logic_error("unknown kind " + kind);
}

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
    const std::string kindFolder = KindFolderOf(kind);
    if (kindFolder == "NA") {
        throw std::runtime_error(
            "No MetaTrader 4 installation was found: the registry holds no install folder "
            "under HKEY_CURRENT_USER\\Software\\MetaQuotes Software\\MetaTrader 4.\r\n\r\n"
            "Nothing was copied, compiled or deleted.");
    }
    const std::string destination = kindFolder + "\\" + fileName;

    const bool sameFolder = terminal::IsSameFolder(destination, source);
    const bool exists = Main::FileExists(destination);
    bool copied = false;
    if (!sameFolder && exists) {
        if (MessageBoxA(nullptr, "The file is already exist! Do you want to replace it?", "Exist",
                        kStyleQuestion) == IDNO) {
            EndAtOnce(ExitCode::Done);
        }
        CopyOrFail(source, destination);
        copied = true;
    } else if (!sameFolder || !exists) {
        CopyOrFail(source, destination);
        copied = true;
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
        MessageBoxA(nullptr, message.c_str(), kAppTitle, kStylePlain);
    }

    // Only a source that this run copied away from elsewhere may go: never the only copy.
    const std::string nameAgain = Main::GetFileName(source);
    if (IsChecked(settings::idDelete) && copied &&
        !terminal::IsSameFolder(kindFolder + "\\" + nameAgain, source)) {
        Main::DeleteOneFile(source);
    }
    Unload();
}

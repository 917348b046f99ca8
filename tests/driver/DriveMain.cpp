// tarvex_drive: the window driver as a command, for the demo script.
//   tarvex_drive screenshot <Tarvex.exe> <out.png>   show the options window, save a picture,
//                                                     then press Save
//   tarvex_drive verb <verb> <file>                   what Explorer does on a context-menu
//                                                     entry; answers the messages shown
#include "Driver.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

int Screenshot(const std::string& exe, const std::string& out) {
    driver::Program tarvex(exe, "");
    HWND window = driver::WaitForWindow(tarvex.Pid(), "frMain", nullptr, 20000);
    if (window == nullptr) {
        std::printf("the options window did not appear\n");
        return 1;
    }
    driver::SaveScreenshot(window, out);
    std::printf("options window \"%s\" shown with %zu controls; picture saved; Save pressed\n",
                driver::TextOf(window).c_str(), driver::ListControls(window).size());
    driver::SendKey(window, VK_RETURN);
    return tarvex.WaitForExit(20000) ? 0 : 1;
}

// Answers every message box of the process (Yes to a question, else OK) until it ends.
int InvokeVerb(const std::string& verb, const std::string& file) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || info.hProcess == nullptr) {
        std::printf("  the shell could not run \"%s\" on %s\n", verb.c_str(), file.c_str());
        return 1;
    }
    const DWORD pid = GetProcessId(info.hProcess);
    while (WaitForSingleObject(info.hProcess, 50) == WAIT_TIMEOUT) {
        if (driver::FindWindowOf(pid, "#32770", nullptr) == nullptr) {
            continue;
        }
        const auto box = driver::ReadMessageBox(driver::FindWindowOf(pid, "#32770", nullptr));
        const bool question = box.buttons.size() == 2;
        std::printf("  message \"%s\": %s -> %s\n", box.caption.c_str(), box.text.c_str(),
                    question ? "Yes" : "OK");
        driver::AnswerMessageBox(pid, question ? "Yes" : "OK");
    }
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    std::printf("  Tarvex ended with exit code %lu\n", code);
    return code == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "screenshot" && argc == 4) {
        return Screenshot(argv[2], argv[3]);
    }
    if (command == "verb" && argc == 4) {
        return InvokeVerb(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: tarvex_drive screenshot <Tarvex.exe> <out.png>\n"
                         "       tarvex_drive verb <verb> <file>\n");
    return 2;
}

// tarvex_drive: the window driver as a command, for the demo script.
//   tarvex_drive screenshot <Tarvex.exe> <out.png>   show the options window, save a picture
#include "Driver.h"

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
    std::printf("options window \"%s\" shown with %zu controls; picture saved\n",
                driver::TextOf(window).c_str(), driver::ListControls(window).size());
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return tarvex.WaitForExit(20000) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "screenshot" && argc == 4) {
        return Screenshot(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: tarvex_drive screenshot <Tarvex.exe> <out.png>\n");
    return 2;
}

// The least a program can do for the same result: start, run compile.bat hidden through the
// shell in the given folder, wait for it, end.
#include <windows.h>

#include <shellapi.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = "Open";
    info.lpFile = "compile.bat";
    info.lpDirectory = argv[1];
    info.nShow = SW_HIDE;
    if (!ShellExecuteExA(&info) || info.hProcess == nullptr) {
        return 1;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    return 0;
}

// The least a program can do for the same result: start, run compile.bat hidden through the
// shell in the given folder, wait for it, end.
//   bare_road <folder>              only that
//   bare_road --window <folder>     first a hidden window of twelve controls, as Tarvex's
//   bare_road --controls <folder>   the same after loading the common controls, as Tarvex does
#include <windows.h>

#include <shellapi.h>

#include <cstring>

namespace {

void CreateHiddenWindow(bool commonControls) {
    if (commonControls) {
        using Init = void(WINAPI*)();
        const HMODULE library = LoadLibraryW(L"comctl32.dll");
        reinterpret_cast<Init>(
            reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")))();
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"bare";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, L"bare", L"bare",
                                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 270, 280,
                                        nullptr, nullptr, windowClass.hInstance, nullptr);
    for (int i = 0; i < 12; ++i) {
        CreateWindowExW(0, i < 9 ? L"Button" : L"Static", L"control", WS_CHILD | WS_VISIBLE, 4,
                        20 * i, 200, 18, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)),
                        windowClass.hInstance, nullptr);
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool window = argc == 3 && std::strcmp(argv[1], "--window") == 0;
    const bool controls = argc == 3 && std::strcmp(argv[1], "--controls") == 0;
    if (argc != 2 && !window && !controls) {
        return 2;
    }
    if (window || controls) {
        CreateHiddenWindow(controls);
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = "Open";
    info.lpFile = "compile.bat";
    info.lpDirectory = argv[argc - 1];
    info.nShow = SW_HIDE;
    if (!ShellExecuteExA(&info) || info.hProcess == nullptr) {
        return 1;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    return 0;
}

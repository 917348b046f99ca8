#include "app/frMain.h"
#include "app/Arguments.h"
#include "app/Messages.h"
#include "res/resource.h"
#include "settings/ContextMenu.h"
#include "sys/SysError.h"
#include "sys/Text.h"

#include <commctrl.h>

#include <exception>

namespace {

constexpr const char* kClassName = "frMain";

} // namespace

frMain::frMain(HINSTANCE instance) : instance_(instance) {}

void frMain::Form_Initialize() {
    InitCommonControls();
}

void frMain::Create() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageA(instance_, MAKEINTRESOURCEA(IDI_TARVEX), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance_, MAKEINTRESOURCEA(IDI_TARVEX), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, settings::kWindowCaption, style,
                            CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance_, this);
    if (hwnd_ == nullptr) {
        FailAtOnce("Could not create the window:\r\n" + sys::SystemMessage(GetLastError()));
    }
    CreateControls();
}

void frMain::Form_Load() {
    try {
        settings::SetKeys();
        Hide();
        LoadSettings();
        const std::string argument = app::ArgumentText(GetCommandLineA());
        if (argument.empty()) {
            Show();
            return;
        }
        const std::string sourcePath = sys::RemoveQuotes(argument);
        if (!app::HasSourceExtension(sourcePath)) {
            MessageBoxA(nullptr, "Un-recognized file type", kAppTitle, kStyleCritical);
            EndAtOnce(ExitCode::Refused);
        }
        InstallSource(sourcePath);
    } catch (const std::exception& error) {
        // Every error passed up by the steps above ends here.
        FailAtOnce(error.what());
    }
}

LRESULT CALLBACK frMain::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<frMain*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frMain*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return form != nullptr ? form->HandleMessage(message, wParam, lParam)
                           : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT frMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(settings::idOk, DC_HASDEFID);
    case WM_CLOSE: // the close box, the system menu and Alt+F4 end as Cancel does
        Unload();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

void frMain::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
    case settings::idOk:
        cmdOk_Click();
        break;
    case settings::idCancel:
        cmdCancel_Click();
        break;
    case settings::idUninstall:
        Command1_Click();
        break;
    default:
        break;
    }
}

void frMain::Unload() {
    DestroyWindow(hwnd_);
}

void frMain::EndAtOnce(ExitCode code) {
    ExitProcess(static_cast<UINT>(code));
}

void frMain::FailAtOnce(const std::string& message) {
    MessageBoxA(nullptr, message.c_str(), kAppTitle, kStyleCritical);
    EndAtOnce(ExitCode::Failed);
}

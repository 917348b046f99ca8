#include "app/frMain.h"
#include "app/Arguments.h"
#include "app/Menus.h"
#include "app/Selection.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "sys/CodePage.h"
#include "sys/SysError.h"

#include <commctrl.h>

#include <exception>

namespace {

constexpr const wchar_t* kClassName = L"frMain";

} // namespace

frMain::frMain(HINSTANCE instance, const app::Arguments& arguments, const sys::Stream& output,
               app::Gathering* gathering)
    : instance_(instance), arguments_(arguments), voice_(arguments.quiet), output_(output),
      gathering_(gathering) {}

void frMain::Form_Initialize() {
    InitCommonControls();
}

void frMain::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TARVEX), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TARVEX), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, settings::kWindowCaption, style,
                            CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance_, this);
    if (hwnd_ == nullptr) {
        FailAtOnce(L"Could not create the window:\r\n" + sys::SystemMessage(GetLastError()));
    }
    options_.Create(hwnd_, instance_);
}

void frMain::Form_Load() {
    try {
        // Found once: the menu lists them, and the install chooses among them.
        const std::vector<terminal::Terminals> found = terminal::FindTerminals();
        settings::SetKeys(app::Menus(found));
        Hide();
        LoadSettings();
        if (!arguments_.wrong.empty()) {
            voice_.Fail(arguments_.wrong);
            EndAtOnce(app::Exit::WrongCommandLine);
        }
        if (arguments_.sources.empty()) {
            Show();
            return;
        }
        exit_ = app::InstallSelection(arguments_, found, options_, gathering_, voice_, output_);
        Unload();
    } catch (const std::exception& error) {
        FailAtOnce(error);
    }
}

LRESULT CALLBACK frMain::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<frMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        form->FailAtOnce(error);
    } catch (...) {
        form->FailAtOnce(L"Unexpected error.");
    }
}

LRESULT frMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(options_.DefaultButton(), DC_HASDEFID);
    case WM_CLOSE: // the close box, the system menu and Alt+F4 end as Cancel does
        Unload();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(static_cast<int>(exit_));
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void frMain::OnCommand(int id, int notification) {
    if (notification == BN_SETFOCUS) {
        options_.FocusMovedTo(static_cast<settings::ControlId>(id));
        return;
    }
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

void frMain::cmdOk_Click() {
    SaveSettings();
    Unload();
}

void frMain::cmdCancel_Click() {
    Unload();
}

void frMain::Command1_Click() {
    settings::DeleteKeys(app::Menus());
}

void frMain::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    options_.FocusSave();
}

void frMain::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

void frMain::LoadSettings() {
    settings::LoadSettings(options_);
}

void frMain::SaveSettings() {
    settings::SaveSettings(options_);
}

void frMain::Unload() {
    DestroyWindow(hwnd_);
}

void frMain::EndAtOnce(app::Exit code) {
    ExitProcess(static_cast<UINT>(code));
}

void frMain::FailAtOnce(const std::wstring& message) const {
    voice_.Fail(message);
    EndAtOnce(app::Exit::NotInstalled);
}

void frMain::FailAtOnce(const std::exception& error) const {
    const auto* told = dynamic_cast<const sys::Error*>(&error);
    FailAtOnce(told != nullptr ? told->Message() : sys::FromAnsi(error.what()));
}

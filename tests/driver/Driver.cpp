#include "Driver.h"
#include "Support.h"

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

namespace driver {

namespace {

using testing_support::Utf8;
using testing_support::Wide;

std::string ClassOf(HWND window) {
    wchar_t name[256];
    return Utf8(std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256))));
}

// The pixels of a rectangle of the screen, or, given an icon, of that icon drawn on the
// background: another process's window surface and icons cannot be read directly.
std::vector<std::uint32_t> Pixels(const RECT& rect, HICON icon = nullptr,
                                  std::uint32_t background = 0) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const sys::unique_window_dc screen(nullptr);
    HDC memory = CreateCompatibleDC(screen.get());
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    std::fill(bits, bits + width * height, background);
    if (icon == nullptr) {
        BitBlt(memory, 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    }
    DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<std::uint32_t> pixels(bits, bits + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Which system icon a message box shows: the one that, drawn on the same background, differs
// from the screen in fewest pixels (a few for smoothing).
std::string IconShownBy(HWND iconControl) {
    int width = 0;
    int height = 0;
    const auto shown = Capture(iconControl, width, height);
    std::string best;
    std::size_t fewest = shown.size() / 20;
    for (const auto& [icon, name] : {std::pair{32513, "stop"},
                                     {32514, "question"},
                                     {32515, "warning"},
                                     {32516, "information"}}) {
        const auto drawn =
            Pixels({0, 0, width, height}, LoadIconW(nullptr, MAKEINTRESOURCEW(icon)), shown[0]);
        std::size_t different = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            different += (shown[i] & 0xFFFFFF) != (drawn[i] & 0xFFFFFF);
        }
        if (different < fewest) {
            fewest = different;
            best = std::string(", ") + name;
        }
    }
    return best;
}

void CollectControls(HWND parent, std::vector<ControlInfo>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ControlInfo info{child, GetDlgCtrlID(child), ClassOf(child), TextOf(child)};
        GetWindowRect(child, &info.rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&info.rect), 2);
        info.style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        out.push_back(info);
        CollectControls(child, out);
    }
}

} // namespace

Program::Program(const std::string& exe, const std::string& commandTail, const std::string& folder,
                 driver::Output output) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    sys::unique_hfile discard;
    sys::unique_hfile written;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (output == driver::Output::Discarded) {
        discard.reset(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                                  nullptr));
        startup.hStdInput = startup.hStdOutput = startup.hStdError = discard.get();
    } else if (output == driver::Output::Captured) {
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!CreatePipe(&read, &write, &inherited, 1 << 20)) {
            throw std::runtime_error("cannot make a pipe");
        }
        output_.reset(read);
        written.reset(write);
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        startup.hStdOutput = startup.hStdError = write;
    }
    PROCESS_INFORMATION info{};
    std::wstring line = Wide("\"" + exe + "\" " + commandTail);
    // Wine now and then refuses a start while an earlier instance is still being torn down.
    for (int attempt = 0;
         !CreateProcessW(Wide(exe).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                         folder.empty() ? nullptr : Wide(folder).c_str(), &startup, &info);
         ++attempt, Sleep(200)) {
        if (attempt == 4) {
            throw std::runtime_error("cannot start " + exe + ": " + std::to_string(GetLastError()));
        }
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
}

std::string Program::ReadOutput() {
    // Not to its end: a process the program started (Wine's desktop, at its first window) may
    // hold the pipe as long as the prefix runs. What the program wrote is there once it ended.
    WaitForExit(INFINITE);
    std::string text;
    char buffer[4096];
    DWORD available = 0;
    DWORD read = 0;
    while (output_ && PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr) &&
           available > 0 && ReadFile(output_.get(), buffer, sizeof buffer, &read, nullptr)) {
        text.append(buffer, read);
    }
    return text;
}

Program::~Program() {
    if (!WaitForExit(0)) {
        TerminateProcess(process_.get(), 99);
        WaitForExit(5000);
    }
}

bool Program::WaitForExit(DWORD milliseconds, DWORD* code) {
    return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0 &&
           (code == nullptr || GetExitCodeProcess(process_.get(), code));
}

sys::unique_handle StartAsExplorer(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        return {};
    }
    CloseHandle(started.hThread);
    return sys::unique_handle(started.hProcess);
}

HANDLE InvokeVerb(const std::string& verb, const std::string& file) {
    const std::wstring wideVerb = Wide(verb);
    const std::wstring wideFile = Wide(file);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = wideVerb.c_str();
    info.lpFile = wideFile.c_str();
    info.nShow = SW_SHOWNORMAL;
    // Under Wine the shell hands its caller's standard handles on, which Explorer has none of.
    const DWORD kinds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE own[3];
    for (int i = 0; i < 3; ++i) {
        own[i] = GetStdHandle(kinds[i]);
        SetStdHandle(kinds[i], nullptr);
    }
    const bool started = ShellExecuteExW(&info) != FALSE;
    for (int i = 0; i < 3; ++i) {
        SetStdHandle(kinds[i], own[i]);
    }
    return started ? info.hProcess : nullptr;
}

HWND FindWindowOf(DWORD pid, const char* className, const char* caption) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window) &&
            (!className || ClassOf(window) == className) &&
            (!caption || TextOf(window) == caption)) {
            return window;
        }
    }
    return nullptr;
}

std::string TextOf(HWND window) {
    wchar_t text[8192];
    const LRESULT length = SendMessageW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text));
    return Utf8(std::wstring(text, static_cast<std::size_t>(length)));
}

std::vector<ControlInfo> ListControls(HWND window) {
    std::vector<ControlInfo> controls;
    CollectControls(window, controls);
    return controls;
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info{"", TextOf(box) + ":"};
    std::string icon;
    for (const auto& control : ListControls(box)) {
        const char* buttons[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
        if (!IsWindowVisible(control.handle)) {
            continue;
        } else if (control.className == "Button" &&
                   (control.style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            const bool ticked = SendMessageW(control.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
            info.look += std::string(ticked ? " [x] " : " [ ] ") + control.caption;
        } else if (control.className == "Button") {
            info.look += std::string(" ") + (control.id < 8 ? buttons[control.id] : "?");
        } else if ((control.style & SS_TYPEMASK) == SS_ICON) {
            icon = IconShownBy(control.handle);
        } else if (!control.caption.empty()) {
            info.text = control.caption;
        }
    }
    info.look += icon;
    return info;
}

MessageBoxInfo AnswerMessageBox(DWORD pid, int button, DWORD milliseconds, bool tick) {
    const HWND box = WaitForWindow(pid, "#32770", nullptr, milliseconds);
    const HWND control = box ? GetDlgItem(box, button) : nullptr;
    if (control == nullptr || !IsWindowVisible(control)) {
        throw std::runtime_error("no message box with button " + std::to_string(button));
    }
    Sleep(100); // painted, so that its icon can be read from the screen
    const MessageBoxInfo info = ReadMessageBox(box);
    for (const auto& checkBox : ListControls(box)) {
        if (tick && (checkBox.style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            SendMessageW(checkBox.handle, BM_CLICK, 0, 0);
        }
    }
    PressButton(control);
    WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
    return info;
}

void SendKey(HWND window, UINT virtualKey, bool shift) {
    // Typed keys go to the foreground window's focused control, with Shift seen by it.
    SetForegroundWindow(window);
    for (const auto& [key, flags] : {std::pair{VK_SHIFT, 0},
                                     {virtualKey, 0},
                                     {virtualKey, KEYEVENTF_KEYUP},
                                     {VK_SHIFT, KEYEVENTF_KEYUP}}) {
        if (shift || key != VK_SHIFT) {
            keybd_event(static_cast<BYTE>(key), 0, static_cast<DWORD>(flags), 0);
        }
    }
}

HWND WaitForFocus(HWND window, HWND expected, DWORD milliseconds) {
    const auto focus = [window] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                                  : nullptr;
    };
    WaitUntil([&] { return focus() == expected; }, milliseconds);
    return focus();
}

std::vector<std::uint32_t> Capture(HWND window, int& width, int& height) {
    RECT rect;
    GetWindowRect(window, &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    return Pixels(rect);
}

} // namespace driver

#include "Driver.h"
#include "TestSupport.h"
#include "sys/Handles.h"

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

namespace driver {

namespace {

using testing_support::Utf8;
using testing_support::Wide;

constexpr DWORD kPollMs = 20;

struct Search {
    DWORD pid;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) ||
        (search->className != nullptr && ClassOf(window) != search->className) ||
        (search->caption != nullptr && TextOf(window) != search->caption)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// Draws into a 32-bit top-down bitmap of the given size and returns its pixels.
template <typename Paint>
std::vector<std::uint32_t> PaintPixels(int width, int height, Paint paint) {
    const sys::unique_window_dc screen(nullptr);
    HDC memory = CreateCompatibleDC(screen.get());
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory, screen.get());
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> result(pixels, pixels + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return result;
}

// Which system icon a message box's icon control shows, by comparing what is on screen with
// each one drawn on the same background (another process's icon handle cannot be read).
UINT IconShownBy(HWND iconControl) {
    int width = 0;
    int height = 0;
    const auto shown = Capture(iconControl, false, width, height);
    const std::pair<int, UINT> candidates[] = {{32513, MB_ICONHAND},        // IDI_HAND
                                               {32514, MB_ICONQUESTION},    // IDI_QUESTION
                                               {32515, MB_ICONEXCLAMATION}, // IDI_EXCLAMATION
                                               {32516, MB_ICONASTERISK}};   // IDI_ASTERISK
    UINT best = 0;
    std::size_t bestDifference = shown.size() / 20; // a few pixels of smoothing
    for (const auto& [icon, style] : candidates) {
        const auto drawn = PaintPixels(width, height, [&](HDC memory, HDC) {
            const HBRUSH background =
                CreateSolidBrush(RGB(shown[0] >> 16 & 0xFF, shown[0] >> 8 & 0xFF, shown[0] & 0xFF));
            const RECT all{0, 0, width, height};
            FillRect(memory, &all, background);
            DeleteObject(background);
            DrawIconEx(memory, 0, 0, LoadIconW(nullptr, MAKEINTRESOURCEW(icon)), 0, 0, 0, nullptr,
                       DI_NORMAL);
        });
        std::size_t difference = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            difference += (shown[i] & 0xFFFFFF) != (drawn[i] & 0xFFFFFF);
        }
        if (difference < bestDifference) {
            bestDifference = difference;
            best = style;
        }
    }
    return best;
}

void CollectControls(HWND parent, std::vector<ControlInfo>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ControlInfo info;
        info.handle = child;
        info.id = GetDlgCtrlID(child);
        info.className = ClassOf(child);
        info.caption = TextOf(child);
        GetWindowRect(child, &info.rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&info.rect), 2);
        info.parent = parent;
        info.style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        info.visible = IsWindowVisible(child) != FALSE;
        if (info.className == "Button") {
            info.check = SendMessageW(child, BM_GETCHECK, 0, 0);
        }
        out.push_back(info);
        CollectControls(child, out);
    }
}

} // namespace

Program::Program(const std::string& exe, const std::string& commandTail,
                 const std::string& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start while an earlier instance is still being torn down.
    DWORD error = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::wstring line = Wide("\"" + exe + "\" " + commandTail);
        if (CreateProcessW(Wide(exe).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : Wide(folder).c_str(), &startup, &info)) {
            error = 0;
            break;
        }
        error = GetLastError();
        Sleep(200);
    }
    if (error != 0) {
        throw std::runtime_error("cannot start " + exe + ": error " + std::to_string(error));
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
}

Program::~Program() {
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool Program::WaitForExit(DWORD milliseconds, DWORD* code) {
    if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) {
        return false;
    }
    if (code != nullptr) {
        GetExitCodeProcess(process_, code);
    }
    return true;
}

bool Program::Running() {
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
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
    return ShellExecuteExW(&info) ? info.hProcess : nullptr;
}

HWND FindWindowOf(DWORD pid, const char* className, const char* caption) {
    Search search{pid, className, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD milliseconds) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowOf(pid, className, caption)) != nullptr; },
              milliseconds);
    return window;
}

std::string TextOf(HWND window) {
    wchar_t buffer[8192];
    const LRESULT length = SendMessageW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer));
    return Utf8(std::wstring(buffer, static_cast<std::size_t>(length)));
}

std::string ClassOf(HWND window) {
    wchar_t buffer[256];
    return Utf8(std::wstring(buffer, static_cast<std::size_t>(GetClassNameW(window, buffer, 256))));
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.caption = TextOf(box);
    for (const auto& control : ListControls(box)) {
        if (!control.visible) {
            continue;
        }
        if (control.className == "Button") {
            info.buttons.push_back(control.id);
        } else if (control.className == "Static" && (control.style & SS_TYPEMASK) == SS_ICON) {
            info.icon = IconShownBy(control.handle);
        } else if (control.className == "Static" && !control.caption.empty()) {
            info.text = control.caption;
        }
    }
    return info;
}

MessageBoxInfo AnswerMessageBox(DWORD pid, int button, DWORD milliseconds) {
    HWND box = WaitForWindow(pid, "#32770", nullptr, milliseconds);
    if (box == nullptr) {
        throw std::runtime_error("no message box appeared");
    }
    Sleep(100); // let it paint, so its icon can be read from the screen
    MessageBoxInfo info = ReadMessageBox(box);
    HWND control = GetDlgItem(box, button);
    if (control == nullptr || !IsWindowVisible(control)) {
        throw std::runtime_error("the message box has no button " + std::to_string(button));
    }
    PressButton(control);
    // Gone before the caller looks for the next one.
    WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
    return info;
}

std::vector<ControlInfo> ListControls(HWND window) {
    std::vector<ControlInfo> controls;
    CollectControls(window, controls);
    return controls;
}

void PressButton(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void SendKey(HWND window, UINT virtualKey, bool shift) {
    // Typed keys go to the foreground window's focused control, with Shift seen by it.
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    const auto key = [&inputs](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (shift) {
        key(VK_SHIFT, 0);
    }
    key(static_cast<WORD>(virtualKey), 0);
    key(static_cast<WORD>(virtualKey), KEYEVENTF_KEYUP);
    if (shift) {
        key(VK_SHIFT, KEYEVENTF_KEYUP);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

HWND WaitForFocus(HWND window, HWND expected, DWORD milliseconds) {
    WaitUntil([&] { return FocusedControl(window) == expected; }, milliseconds);
    return FocusedControl(window);
}

std::vector<std::uint32_t> Capture(HWND window, bool wholeWindow, int& width, int& height) {
    RECT rect;
    if (wholeWindow) {
        GetWindowRect(window, &rect);
    } else {
        GetClientRect(window, &rect);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    const int w = width;
    const int h = height;
    // From the screen: another process's window surface cannot be read through its own DC.
    return PaintPixels(w, h, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
    });
}

} // namespace driver

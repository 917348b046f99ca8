// Drives a running program from outside as a user would: its windows, message boxes, keys.
// Texts are UTF-8.
#pragma once

#include "sys/Handles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// The standard handles a program is started with. Under Wine a program started without any
// still gets its parent's output: Explorer's instances are started with none, explicitly.
enum class Output {
    Discarded, // the NUL device, as a script that does not read it
    None,      // as Explorer starts one
    Captured,  // a pipe for the output and the error, read by Program::ReadOutput
};

// A started program, killed if it still runs at the end. commandTail follows the quoted path.
class Program {
public:
    Program(const std::string& exe, const std::string& commandTail, const std::string& folder = "",
            Output output = Output::Discarded);
    ~Program();
    DWORD Pid() const { return GetProcessId(process_.get()); }
    // True when the program ended within the time; its exit code in *code.
    bool WaitForExit(DWORD milliseconds, DWORD* code = nullptr);
    // Output::Captured: what it wrote, once it has ended.
    std::string ReadOutput();

private:
    sys::unique_handle process_;
    sys::unique_hfile output_;
};

// Starts a program as Explorer does: with no standard handles.
sys::unique_handle StartAsExplorer(const std::wstring& commandLine);
// What Explorer does when the user chooses a file's context-menu entry: the process, or null.
HANDLE InvokeVerb(const std::string& verb, const std::string& file);

// Polls the condition until it holds or the time is up; returns its last value.
template <typename Condition> bool WaitUntil(Condition condition, DWORD milliseconds = 5000) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(20)) {
        if (GetTickCount() - start >= milliseconds) {
            return condition();
        }
    }
    return true;
}

// A visible top-level window of the process, by class and/or caption (null: any).
HWND FindWindowOf(DWORD pid, const char* className, const char* caption);
inline HWND WaitForWindow(DWORD pid, const char* className, const char* caption,
                          DWORD milliseconds) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowOf(pid, className, caption)) != nullptr; },
              milliseconds);
    return window;
}
std::string TextOf(HWND window);

struct ControlInfo {
    HWND handle = nullptr;
    int id = 0;
    std::string className, caption;
    RECT rect{}; // in its parent's client area
    DWORD style = 0;
};
// Every descendant control, parents before children, siblings in creation order.
std::vector<ControlInfo> ListControls(HWND window);

struct MessageBoxInfo {
    std::string text;
    // Its caption, buttons, check box and icon as the user sees them, whatever the system's
    // language: "Tarvex: OK, stop", "Exist: Yes No, information", "Tarvex: OK" for no icon,
    // "Exist: Yes No [ ] Do this, information" with a check box, "[x]" when ticked.
    std::string look;
};
MessageBoxInfo ReadMessageBox(HWND box);
// Waits for the process's message box, reads it, and presses the button with that id.
MessageBoxInfo AnswerMessageBox(DWORD pid, int button, DWORD milliseconds = 20000,
                                bool tick = false);

// Clicks the button; the program handles the click in its own time (see WaitUntil).
inline void PressButton(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}
// A key as the user types it, to the control that has the focus.
void SendKey(HWND window, UINT virtualKey, bool shift = false);
// Waits until the focus is on expected; returns where it is.
HWND WaitForFocus(HWND window, HWND expected, DWORD milliseconds = 5000);

// The pixels of the window as the screen shows them, 0x00RRGGBB.
std::vector<std::uint32_t> Capture(HWND window, int& width, int& height);

} // namespace driver

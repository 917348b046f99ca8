#include "Driver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace driver {

namespace {

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
    if (pid != search->pid || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->className != nullptr && ClassOf(window) != search->className) {
        return TRUE;
    }
    if (search->caption != nullptr && TextOf(window) != search->caption) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

std::string WithoutAmpersands(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != '&') {
            out += c;
        }
    }
    return out;
}

// Draws into a 32-bit top-down bitmap of the given size and returns its pixels.
template <typename Paint>
std::vector<std::uint32_t> PaintPixels(int width, int height, Paint paint) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    paint(memory, screen, pixels);
    GdiFlush();
    std::vector<std::uint32_t> result(pixels, pixels + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

// The pixels of a window (or of its client area), read from the screen: another process's
// window surface cannot be read through its own DC.
std::vector<std::uint32_t> Capture(HWND window, int& width, int& height, bool wholeWindow = false) {
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
    return PaintPixels(w, h, [&](HDC memory, HDC screen, std::uint32_t*) {
        BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
    });
}

// How a system icon looks drawn on the given background.
std::vector<std::uint32_t> Render(LPCSTR icon, int width, int height, std::uint32_t background) {
    return PaintPixels(width, height, [&](HDC memory, HDC, std::uint32_t* pixels) {
        std::fill(pixels, pixels + width * height, background);
        DrawIconEx(memory, 0, 0, LoadIconA(nullptr, icon), 0, 0, 0, nullptr, DI_NORMAL);
    });
}

// Which system icon a message box's icon control shows, by comparing what is on screen.
UINT IconShownBy(HWND iconControl) {
    int width = 0;
    int height = 0;
    const auto shown = Capture(iconControl, width, height);
    if (shown.empty()) {
        return 0;
    }
    struct Candidate {
        LPCSTR resource;
        UINT style;
    };
    const Candidate candidates[] = {{IDI_HAND, MB_ICONHAND},
                                    {IDI_QUESTION, MB_ICONQUESTION},
                                    {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                    {IDI_ASTERISK, MB_ICONASTERISK}};
    UINT best = 0;
    std::size_t bestDifference = shown.size() / 20; // tolerate a few pixels of smoothing
    for (const auto& candidate : candidates) {
        const auto drawn = Render(candidate.resource, width, height, shown[0]);
        std::size_t difference = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            difference += (shown[i] & 0xFFFFFF) != (drawn[i] & 0xFFFFFF);
        }
        if (difference < bestDifference) {
            bestDifference = difference;
            best = candidate.style;
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
        info.style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
        info.visible = IsWindowVisible(child) != FALSE;
        if (info.className == "Button") {
            info.check = SendMessageA(child, BM_GETCHECK, 0, 0);
        }
        out.push_back(info);
        CollectControls(child, out);
    }
}

void AppendChunk(std::string& png, const char* type, const std::string& data) {
    static std::uint32_t table[256];
    if (table[1] == 0) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            table[n] = c;
        }
    }
    const auto be32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    const std::string body = std::string(type, 4) + data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : body) {
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    }
    png += be32(static_cast<std::uint32_t>(data.size())) + body + be32(crc ^ 0xFFFFFFFFu);
}

} // namespace

Program::Program(const std::string& exe, const std::string& commandTail,
                 const std::string& folder) {
    std::string commandLine = "\"" + exe + "\" " + commandTail;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start while an earlier instance is still being torn down.
    DWORD error = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::string line = commandLine;
        if (CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
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

HWND FindWindowOf(DWORD pid, const char* className, const char* caption) {
    Search search{pid, className, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        if (HWND window = FindWindowOf(pid, className, caption)) {
            return window;
        }
        Sleep(kPollMs);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

std::string TextOf(HWND window) {
    char buffer[4096];
    const LRESULT length =
        SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string ClassOf(HWND window) {
    char buffer[256];
    const int length = GetClassNameA(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(length));
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.caption = TextOf(box);
    for (const auto& control : ListControls(box)) {
        if (!control.visible) {
            continue;
        }
        if (control.className == "Button") {
            info.buttons.push_back(WithoutAmpersands(control.caption));
        } else if (control.className == "Static") {
            if ((control.style & SS_TYPEMASK) == SS_ICON) {
                info.icon = IconShownBy(control.handle);
            } else if (!control.caption.empty()) {
                info.text = control.caption;
            }
        }
    }
    return info;
}

MessageBoxInfo AnswerMessageBox(DWORD pid, const std::string& button, DWORD milliseconds) {
    HWND box = WaitForWindow(pid, "#32770", nullptr, milliseconds);
    if (box == nullptr) {
        throw std::runtime_error("no message box appeared");
    }
    Sleep(100); // let it paint, so its icon can be read from the screen
    MessageBoxInfo info = ReadMessageBox(box);
    for (const auto& control : ListControls(box)) {
        if (control.className == "Button" && WithoutAmpersands(control.caption) == button) {
            PressButton(control.handle);
            // Gone before the caller looks for the next one.
            for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i) {
                Sleep(kPollMs);
            }
            return info;
        }
    }
    throw std::runtime_error("the message box has no button " + button);
}

std::vector<ControlInfo> ListControls(HWND window) {
    std::vector<ControlInfo> controls;
    CollectControls(window, controls);
    return controls;
}

void PressButton(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
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

HWND WaitForFocus(HWND window, HWND expected, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    HWND focus = FocusedControl(window);
    while (focus != expected && GetTickCount() - start < milliseconds) {
        Sleep(kPollMs);
        focus = FocusedControl(window);
    }
    return focus;
}

HWND FocusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void SaveScreenshot(HWND window, const std::string& path) {
    int width = 0;
    int height = 0;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(200);
    const auto pixels = Capture(window, width, height, true);
    // Stored (uncompressed) deflate blocks keep the writer short; the image is small.
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[y * width + x];
            raw += static_cast<char>(p >> 16);
            raw += static_cast<char>(p >> 8);
            raw += static_cast<char>(p);
        }
    }
    std::string zlib = "\x78\x01";
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + n == raw.size() ? 1 : 0);
        zlib += static_cast<char>(n & 0xFF);
        zlib += static_cast<char>(n >> 8);
        zlib += static_cast<char>(~n & 0xFF);
        zlib += static_cast<char>((~n >> 8) & 0xFF);
        zlib.append(raw, at, n);
    }
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char c : raw) {
        a = (a + static_cast<unsigned char>(c)) % 65521;
        b = (b + a) % 65521;
    }
    const std::uint32_t adler = (b << 16) | a;
    for (int shift = 24; shift >= 0; shift -= 8) {
        zlib += static_cast<char>(adler >> shift);
    }
    std::string header;
    for (const std::uint32_t v :
         {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header += static_cast<char>(v >> shift);
        }
    }
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", zlib);
    AppendChunk(png, "IEND", "");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace driver

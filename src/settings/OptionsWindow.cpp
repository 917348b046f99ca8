#include "settings/OptionsWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace settings {

namespace {

int ScreenDpi() {
    const sys::unique_window_dc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

const wchar_t* ClassOf(ControlKind kind) {
    return kind == ControlKind::Line || kind == ControlKind::Label ? L"Static" : L"Button";
}

DWORD StyleOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    // BS_NOTIFY: the window learns where the focus goes, for the default button.
    constexpr DWORD focusable = child | WS_TABSTOP | BS_NOTIFY;
    switch (kind) {
    case ControlKind::Frame:
        return child | BS_GROUPBOX;
    case ControlKind::Line:
        return child | SS_ETCHEDFRAME;
    case ControlKind::OptionButton:
        return focusable | BS_AUTORADIOBUTTON;
    case ControlKind::CheckBox:
        return focusable | WS_GROUP | BS_AUTOCHECKBOX;
    case ControlKind::CommandButton:
        return focusable | WS_GROUP | BS_PUSHBUTTON;
    case ControlKind::Label:
        return child | SS_LEFT | SS_NOPREFIX;
    }
    return child;
}

// A frame that holds controls passes their notifications on to its own parent, so that the
// window hears where the focus goes whatever frame a control lies in.
LRESULT CALLBACK ForwardCommands(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    if (message == WM_COMMAND) {
        return SendMessageW(GetParent(frame), message, wParam, lParam);
    }
    return DefSubclassProc(frame, message, wParam, lParam);
}

bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::OptionButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::CommandButton;
}

// Tab stops in tab-index order; neighbouring option buttons make one stop.
std::vector<std::vector<ControlId>> TabStops() {
    std::vector<const ControlSpec*> focusable;
    for (const auto& spec : kControls) {
        if (TakesFocus(spec.kind)) {
            focusable.push_back(&spec);
        }
    }
    std::sort(focusable.begin(), focusable.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<std::vector<ControlId>> stops;
    for (std::size_t i = 0; i < focusable.size(); ++i) {
        const bool joinsGroup = i > 0 && focusable[i]->kind == ControlKind::OptionButton &&
                                focusable[i - 1]->kind == ControlKind::OptionButton;
        if (joinsGroup) {
            stops.back().push_back(focusable[i]->id);
        } else {
            stops.push_back({focusable[i]->id});
        }
    }
    return stops;
}

} // namespace

void OptionsWindow::Create(HWND window, HINSTANCE instance) {
    window_ = window;
    const int dpi = ScreenDpi();
    const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };

    RECT frame{0, 0, px(kClientWidthTwips), px(kClientHeightTwips)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const FontSpec spec = FontFor(static_cast<ControlFont>(i));
        fonts_[i].reset(CreateFontW(-MulDiv(spec.centipoints, dpi, kCentipointsPerInch), 0, 0, 0,
                                    spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, spec.face));
    }

    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& spec = kControls[i];
        const HWND parent = spec.container == 0 ? window : controls_[IndexOf(spec.container)];
        controls_[i] = CreateWindowExW(
            0, ClassOf(spec.kind), spec.caption, StyleOf(spec.kind) | spec.extraStyle,
            px(spec.left), px(spec.top), px(spec.width), px(spec.height), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        SendMessageW(controls_[i], WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(spec.font)].get()),
                     FALSE);
        if (spec.container != 0) {
            SetWindowSubclass(parent, ForwardCommands, 0, 0);
        }
    }
    Select(idOption1);
    SetCheck(idDelete, false);
    SetCheck(idTell, true);
}

HWND OptionsWindow::Control(ControlId id) const {
    return controls_[IndexOf(id)];
}

bool OptionsWindow::IsChecked(ControlId control) const {
    return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionsWindow::Select(ControlId option) {
    for (const auto& spec : kControls) {
        if (spec.kind == ControlKind::OptionButton) {
            SendMessageW(Control(spec.id), BM_SETCHECK,
                         spec.id == option ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void OptionsWindow::SetCheck(ControlId checkBox, bool ticked) {
    SendMessageW(Control(checkBox), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool OptionsWindow::PreTranslateMessage(MSG& message) {
    if (window_ == nullptr || !IsWindow(window_)) {
        return false;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
        (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
        return MoveFocusByTab(GetKeyState(VK_SHIFT) < 0);
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

void OptionsWindow::FocusMovedTo(ControlId control) {
    if (IndexOf(control) == kControls.size()) {
        return; // not one of the table's controls
    }
    const ControlId button =
        kControls[IndexOf(control)].kind == ControlKind::CommandButton ? control : idOk;
    if (button == defaultButton_) {
        return;
    }
    // The dialog manager sends Enter to the focused push button that has the default look.
    SendMessageW(Control(defaultButton_), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(Control(button), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    defaultButton_ = button;
}

void OptionsWindow::FocusSave() {
    SetFocus(Control(idOk));
}

// The dialog manager would follow the window hierarchy; the tab order here crosses frames.
bool OptionsWindow::MoveFocusByTab(bool backwards) {
    static const auto stops = TabStops();
    const HWND focus = GetFocus();
    std::size_t current = 0;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        for (const auto id : stops[i]) {
            if (Control(id) == focus) {
                current = i;
            }
        }
    }
    const std::size_t count = stops.size();
    const auto& next = stops[(current + (backwards ? count - 1 : 1)) % count];
    ControlId target = next.front();
    for (const auto id : next) {
        if (IsChecked(id)) {
            target = id;
        }
    }
    SetFocus(Control(target));
    return true;
}

} // namespace settings

// The options window: its controls, the keyboard, and its three buttons.
#include "app/frMain.h"
#include "settings/ContextMenu.h"

#include <algorithm>
#include <vector>

using settings::ControlId;
using settings::ControlKind;
using settings::kControls;

namespace {

std::size_t IndexOf(int id) {
    const auto found =
        std::find_if(kControls.begin(), kControls.end(),
                     [id](const settings::ControlSpec& spec) { return spec.id == id; });
    return static_cast<std::size_t>(found - kControls.begin());
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::OptionButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::CommandButton;
}

// Tab stops in tab-index order; neighbouring option buttons make one stop.
std::vector<std::vector<ControlId>> TabStops() {
    std::vector<const settings::ControlSpec*> focusable;
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

void frMain::CreateControls() {
    const int dpi = ScreenDpi();
    const auto px = [dpi](int twips) { return settings::TwipsToPixels(twips, dpi); };

    RECT frame{0, 0, px(settings::kClientWidthTwips), px(settings::kClientHeightTwips)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const auto spec = settings::FontFor(static_cast<settings::ControlFont>(i));
        fonts_[i].reset(CreateFontA(-MulDiv(spec.centiPoints, dpi, 7200), 0, 0, 0,
                                    spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, spec.face));
    }

    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const auto& spec = kControls[i];
        const HWND parent = spec.container == 0 ? hwnd_ : controls_[IndexOf(spec.container)];
        controls_[i] = CreateWindowExA(
            0, settings::ClassOf(spec.kind), spec.caption,
            settings::StyleOf(spec.kind) | spec.extraStyle, px(spec.left), px(spec.top),
            px(spec.width), px(spec.height), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_, nullptr);
        SendMessageA(controls_[i], WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(spec.font)].get()),
                     FALSE);
    }
    // The state a user without stored options sees.
    Select(settings::idOption1);
    SetCheck(settings::idDelete, false);
    SetCheck(settings::idTell, true);
}

HWND frMain::Control(ControlId id) const {
    return controls_[IndexOf(id)];
}

// A selected option button or a ticked box; a greyed box does not count.
bool frMain::IsChecked(ControlId control) const {
    return SendMessageA(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frMain::Select(ControlId option) {
    for (const auto& spec : kControls) {
        if (spec.kind == ControlKind::OptionButton) {
            SendMessageA(Control(spec.id), BM_SETCHECK,
                         spec.id == option ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void frMain::SetCheck(ControlId checkBox, bool ticked) {
    SendMessageA(Control(checkBox), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void frMain::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(Control(settings::idOk));
}

void frMain::Hide() {
    ShowWindow(hwnd_, SW_HIDE);
}

bool frMain::PreTranslateMessage(MSG& message) {
    if (hwnd_ == nullptr || !IsWindow(hwnd_)) {
        return false;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
        (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
        return MoveFocusByTab(GetKeyState(VK_SHIFT) < 0);
    }
    return IsDialogMessageA(hwnd_, &message) != FALSE;
}

// The dialog manager would follow the window hierarchy; the tab order here crosses frames.
bool frMain::MoveFocusByTab(bool backwards) {
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

void frMain::cmdOk_Click() {
    SaveSettings();
    Unload();
}

void frMain::cmdCancel_Click() {
    Unload();
}

void frMain::Command1_Click() {
    settings::DeleteKeys();
}

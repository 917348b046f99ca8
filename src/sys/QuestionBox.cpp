#include "sys/QuestionBox.h"
#include "sys/Handles.h"

#include <algorithm>

namespace sys {

namespace {

// An empty dialog: its controls are made and placed once the text has been measured.
struct alignas(4) EmptyDialog {
    DLGTEMPLATE dialog{};
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

struct Question {
    const std::wstring& text;
    const std::wstring& caption;
    const std::wstring& checkBox;
    bool ticked = false;
    unique_hfont font;
};

// At 96 dots per inch; the message box's own measures.
constexpr int kMargin = 12;
constexpr int kGap = 10;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kMostTextWidth = 480;
// IDI_INFORMATION, whose header form is the ANSI one.
const LPCWSTR kInformationIcon = MAKEINTRESOURCEW(32516);

HWND Make(HWND dialog, const wchar_t* windowClass, const std::wstring& text, DWORD style, int id,
          const RECT& place, HFONT font) {
    const HWND control = CreateWindowExW(
        0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Places the controls and sizes the dialog around them, centred on the screen's work area.
void LayOut(HWND dialog, Question& question) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    question.font.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    const HFONT font = question.font.get();
    const unique_window_dc dc(dialog);
    const int dpi = GetDeviceCaps(dc.get(), LOGPIXELSX);
    const auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
    const HGDIOBJ old = SelectObject(dc.get(), font);
    RECT text{0, 0, px(kMostTextWidth), 0};
    DrawTextW(dc.get(), question.text.c_str(), -1, &text,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
    RECT check{0, 0, 0, 0};
    DrawTextW(dc.get(), question.checkBox.c_str(), -1, &check, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc.get(), old);

    const int icon = GetSystemMetrics(SM_CXICON);
    const int left = px(kMargin) + icon + px(kGap);
    const int checkWidth = check.right + GetSystemMetrics(SM_CXMENUCHECK) + px(8);
    const int checkTop = px(kMargin) + std::max<int>(text.bottom, icon) + px(kGap);
    const int buttonsTop = checkTop + check.bottom + px(8) + px(kGap);
    const int width = std::max<int>(left + std::max<int>(text.right, checkWidth) + px(kMargin),
                                    2 * px(kButtonWidth) + px(8) + 2 * px(kMargin));
    const int height = buttonsTop + px(kButtonHeight) + px(kMargin);
    const int yesLeft = width - px(kMargin) - 2 * px(kButtonWidth) - px(8);

    Make(dialog, L"Static", L"", SS_ICON, 20,
         {px(kMargin), px(kMargin), px(kMargin) + icon, px(kMargin) + icon}, font);
    SendDlgItemMessageW(dialog, 20, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, kInformationIcon)), 0);
    Make(dialog, L"Static", question.text, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0xFFFF,
         {left, px(kMargin), left + text.right, px(kMargin) + text.bottom}, font);
    const HWND yes = Make(
        dialog, L"Button", L"&Yes", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES,
        {yesLeft, buttonsTop, yesLeft + px(kButtonWidth), buttonsTop + px(kButtonHeight)}, font);
    Make(dialog, L"Button", L"&No", BS_PUSHBUTTON | WS_TABSTOP, IDNO,
         {yesLeft + px(kButtonWidth) + px(8), buttonsTop, width - px(kMargin),
          buttonsTop + px(kButtonHeight)},
         font);
    Make(dialog, L"Button", question.checkBox, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
         kQuestionCheckBox, {left, checkTop, left + checkWidth, checkTop + check.bottom + px(8)},
         font);

    SetWindowTextW(dialog, question.caption.c_str());
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, (work.left + work.right - frameWidth) / 2,
                 (work.top + work.bottom - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(dialog, DM_SETDEFID, IDYES, 0);
    SetFocus(yes);
}

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            LayOut(dialog, *reinterpret_cast<Question*>(lParam));
            return FALSE; // the focus is set
        }
        auto* question = reinterpret_cast<Question*>(GetWindowLongPtrW(dialog, DWLP_USER));
        // As a Yes/No message box: Esc and Alt+F4 (IDCANCEL) answer nothing.
        if (message == WM_COMMAND && (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO)) {
            question->ticked = IsDlgButtonChecked(dialog, kQuestionCheckBox) == BST_CHECKED;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
    } catch (...) {
        EndDialog(dialog, 0);
    }
    return FALSE;
}

} // namespace

int AskWithCheckBox(const std::wstring& text, const std::wstring& caption,
                    const std::wstring& checkBox, bool& ticked) noexcept {
    EmptyDialog empty{};
    empty.dialog.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFOREGROUND;
    Question question{text, caption, checkBox, false, {}};
    const INT_PTR answer =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty.dialog, nullptr, QuestionProc,
                                reinterpret_cast<LPARAM>(&question));
    ticked = question.ticked;
    return answer == IDYES || answer == IDNO ? static_cast<int>(answer) : 0;
}

} // namespace sys

#include "settings/OptionsLayout.h"

namespace settings {

namespace {
constexpr auto F = ControlKind::Frame;
constexpr auto O = ControlKind::OptionButton;
constexpr auto C = ControlKind::CheckBox;
constexpr auto B = ControlKind::CommandButton;
constexpr auto L = ControlKind::Label;
constexpr auto W = ControlFont::Window;
} // namespace

const std::array<ControlSpec, 12> kControls = {{
    // id, name, kind, container, caption, left, top, width, height, tab index, font, style
    {idFrame1, "Frame1", F, 0, "Options :", 60, 45, 3855, 2715, 0, W, 0},
    {idOption1, "Option1", O, 0, "Compile && open in MetaEditor", 255, 330, 2775, 255, 6, W,
     WS_GROUP},
    {idOption2, "Option2", O, 0, "Compile only", 255, 690, 2775, 255, 5, W, 0},
    {idFrame3, "Frame3", F, idFrame1, "", 120, 900, 3615, 915, 3, W, 0},
    {idDelete, "chkDelete", C, idFrame3, "Delete source after coping", 120, 210, 2295, 195, 4, W,
     0},
    {idTell, "chkTell", C, idFrame3, "Tell me the type of the file", 120, 570, 2295, 195, 8, W, 0},
    {idUninstall, "Command1", B, 0, "&Uninstall (delete context menu)", 435, 2055, 3105, 435, 11, W,
     0},
    {idCancel, "cmdCancel", B, 0, "&Cancel", 278, 2835, 1410, 375, 2, W, 0},
    {idOk, "cmdOk", B, 0, "&Save", 2303, 2835, 1410, 375, 1, W, BS_DEFPUSHBUTTON},
    {idFrame4, "Frame4", ControlKind::Line, 0, "", 30, 3345, 3900, 45, 7, W, 0},
    {idLabel2, "Label2", L, 0, "\xA9", 630, 3390, 180, 300, 10, ControlFont::Copyright, 0},
    {idLabel1, "Label1", L, 0, "brenholt.example", 915, 3420, 2070, 240, 9, ControlFont::Address,
     0},
}};

FontSpec FontFor(ControlFont font) {
    switch (font) {
    case ControlFont::Copyright:
        return {"MS Sans Serif", 1200, true};
    case ControlFont::Address:
        return {"MS Sans Serif", 975, true};
    case ControlFont::Window:
        break;
    }
    return {"MS Sans Serif", 800, false};
}

const char* ClassOf(ControlKind kind) {
    return kind == ControlKind::Line || kind == ControlKind::Label ? "Static" : "Button";
}

DWORD StyleOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::Frame:
        return child | BS_GROUPBOX;
    case ControlKind::Line:
        return child | SS_ETCHEDFRAME;
    case ControlKind::OptionButton:
        return child | WS_TABSTOP | BS_AUTORADIOBUTTON;
    case ControlKind::CheckBox:
        return child | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX;
    case ControlKind::CommandButton:
        return child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
    case ControlKind::Label:
        return child | SS_LEFT | SS_NOPREFIX;
    }
    return child;
}

int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

} // namespace settings

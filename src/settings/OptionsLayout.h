// The options window as data: every control, its container, caption and place in twips.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

namespace settings {

enum ControlId : int {
    // Enter and Esc reach the window as IDOK and IDCANCEL.
    idOk = IDOK,
    idCancel = IDCANCEL,
    idFrame1 = 100,
    idOption1,
    idOption2,
    idFrame3,
    idDelete,
    idTell,
    idUninstall,
    idFrame4,
    idLabel2,
    idLabel1,
};

enum class ControlKind { Frame, Line, OptionButton, CheckBox, CommandButton, Label };
enum class ControlFont { Window, Copyright, Address };

struct ControlSpec {
    ControlId id;
    const char* name;
    ControlKind kind;
    int container; // a ControlId, or 0 for the window itself
    const wchar_t* caption;
    int left, top, width, height; // twips, relative to the container
    int tabIndex;
    ControlFont font;
    DWORD extraStyle;
};

namespace layout {
constexpr auto F = ControlKind::Frame;
constexpr auto O = ControlKind::OptionButton;
constexpr auto C = ControlKind::CheckBox;
constexpr auto B = ControlKind::CommandButton;
constexpr auto L = ControlKind::Label;
constexpr auto W = ControlFont::Window;
} // namespace layout

// In creation order.
constexpr std::array<ControlSpec, 12> kControls = {{
    // id, name, kind, container, caption, left, top, width, height, tab index, font, style
    {idFrame1, "Frame1", layout::F, 0, L"Options :", 60, 45, 3855, 2715, 0, layout::W, 0},
    {idOption1, "Option1", layout::O, 0, L"Compile && open in MetaEditor", 255, 330, 2775, 255, 6,
     layout::W, WS_GROUP},
    {idOption2, "Option2", layout::O, 0, L"Compile only", 255, 690, 2775, 255, 5, layout::W, 0},
    {idFrame3, "Frame3", layout::F, idFrame1, L"", 120, 900, 3615, 915, 3, layout::W, 0},
    {idDelete, "chkDelete", layout::C, idFrame3, L"Delete source after coping", 120, 210, 2295, 195,
     4, layout::W, 0},
    {idTell, "chkTell", layout::C, idFrame3, L"Tell me the type of the file", 120, 570, 2295, 195,
     8, layout::W, 0},
    {idUninstall, "Command1", layout::B, 0, L"&Uninstall (delete context menu)", 435, 2055, 3105,
     435, 11, layout::W, 0},
    {idCancel, "cmdCancel", layout::B, 0, L"&Cancel", 278, 2835, 1410, 375, 2, layout::W, 0},
    {idOk, "cmdOk", layout::B, 0, L"&Save", 2303, 2835, 1410, 375, 1, layout::W, BS_DEFPUSHBUTTON},
    {idFrame4, "Frame4", ControlKind::Line, 0, L"", 30, 3345, 3900, 45, 7, layout::W, 0},
    // U+00A9 itself: the ANSI byte 0xA9 is another character on East Asian code pages.
    {idLabel2, "Label2", layout::L, 0, L"\u00A9", 630, 3390, 180, 300, 10, ControlFont::Copyright,
     0},
    {idLabel1, "Label1", layout::L, 0, L"brenholt.example", 915, 3420, 2070, 240, 9,
     ControlFont::Address, 0},
}};

constexpr std::size_t IndexOf(int id) {
    std::size_t i = 0;
    while (i < kControls.size() && kControls[i].id != id) {
        ++i;
    }
    return i;
}

// The window creates each container before what it holds.
constexpr bool ContainersComeFirst() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].container != 0 && IndexOf(kControls[i].container) >= i) {
            return false;
        }
    }
    return true;
}
static_assert(ContainersComeFirst(), "a control is listed before its container");

constexpr bool TabIndicesUnique() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        for (std::size_t j = i + 1; j < kControls.size(); ++j) {
            if (kControls[i].tabIndex == kControls[j].tabIndex) {
                return false;
            }
        }
    }
    return true;
}
static_assert(TabIndicesUnique(), "two controls share a tab index");

constexpr int kClientWidthTwips = 3975;
constexpr int kClientHeightTwips = 3720;
constexpr const wchar_t* kWindowCaption = L"Tarvex - Brenholt";

constexpr int kTwipsPerInch = 1440;
constexpr int kCentipointsPerInch = 7200; // 72 points to the inch

struct FontSpec {
    const wchar_t* face;
    int centipoints;
    bool bold;
};

constexpr FontSpec FontFor(ControlFont font) {
    switch (font) {
    case ControlFont::Copyright:
        return {L"MS Sans Serif", 1200, true};
    case ControlFont::Address:
        return {L"MS Sans Serif", 975, true};
    case ControlFont::Window:
        break;
    }
    return {L"MS Sans Serif", 800, false};
}

constexpr int TwipsToPixels(int twips, int dpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

} // namespace settings

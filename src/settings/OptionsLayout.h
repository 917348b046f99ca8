// The options window as data: every control, its container, caption and place in twips.
#pragma once

#include <windows.h>

#include <array>

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
    const char* caption;
    int left, top, width, height; // twips, relative to the container
    int tabIndex;
    ControlFont font;
    DWORD extraStyle;
};

// In creation order: a container comes before what it holds.
extern const std::array<ControlSpec, 12> kControls;

constexpr int kClientWidthTwips = 3975;
constexpr int kClientHeightTwips = 3720;
constexpr const char* kWindowCaption = "Tarvex - Brenholt";

struct FontSpec {
    const char* face;
    int centiPoints;
    bool bold;
};
FontSpec FontFor(ControlFont font);

// Class name and style of a kind of control.
const char* ClassOf(ControlKind kind);
DWORD StyleOf(ControlKind kind);

int TwipsToPixels(int twips, int dpi);

} // namespace settings

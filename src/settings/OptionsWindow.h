// The options window's controls: made from the layout table, with their fonts and keyboard.
#pragma once

#include "settings/OptionsLayout.h"
#include "sys/Handles.h"

#include <windows.h>

#include <array>

namespace settings {

class OptionsWindow {
public:
    // Sizes and centres the window for the table at the screen's DPI and creates the
    // controls in it, in the state a user without stored options sees.
    void Create(HWND window, HINSTANCE instance);

    HWND Control(ControlId id) const;
    // A selected option button or a ticked box; a greyed box does not count.
    bool IsChecked(ControlId control) const;
    void Select(ControlId option);
    void SetCheck(ControlId checkBox, bool ticked);

    // The keyboard of a dialog; true when the message was consumed.
    bool PreTranslateMessage(MSG& message);
    // As in a dialog: a push button that has the focus is the default button, and Save is
    // while a control of another kind has it.
    void FocusMovedTo(ControlId control);
    ControlId DefaultButton() const { return defaultButton_; }
    void FocusSave();

private:
    bool MoveFocusByTab(bool backwards);

    HWND window_ = nullptr;
    std::array<HWND, kControls.size()> controls_{};
    std::array<sys::unique_hfont, 3> fonts_;
    ControlId defaultButton_ = idOk;
};

} // namespace settings

// A question a message box cannot ask: Yes and No with a check box below the text.
#pragma once

#include <windows.h>

#include <string>

namespace sys {

// The check box's control id.
constexpr int kQuestionCheckBox = 100;

// Laid out as a message box of style MB_YESNO | MB_ICONINFORMATION is: the icon, the text, then the
// check box (unticked) and the buttons, Yes the default; like that box it cannot be closed but by
// Yes or No. IDYES or IDNO, and whether the box was ticked; 0 when it could not be shown.
int AskWithCheckBox(const std::wstring& text, const std::wstring& caption,
                    const std::wstring& checkBox, bool& ticked) noexcept;

} // namespace sys

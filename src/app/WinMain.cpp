#include "app/frMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    frMain form(instance);
    form.Form_Initialize();
    form.Create();
    form.Form_Load();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!form.PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

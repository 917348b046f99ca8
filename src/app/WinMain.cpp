#include "app/frMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const app::Arguments arguments = app::ParseArguments(app::ArgumentText(GetCommandLineW()));
    const sys::Stream output(STD_OUTPUT_HANDLE);
    // Before anything else: an instance that hands its source over has nothing more to do.
    bool handedOver = false;
    const std::unique_ptr<app::Gathering> gathering =
        app::Gathering::Join(arguments, output.Present(), handedOver);
    if (handedOver) {
        return 0;
    }
    frMain form(instance, arguments, output, gathering.get());
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

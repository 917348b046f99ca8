// The setup's last step at uninstall: removes the "Compile in" menus and the "Compile" entry on
// every .mq4 and .mq5 file that Tarvex.exe wrote at its starts, from both classes roots, the
// entry unless it is another program's. (The verb on MetaEditor's class is Tarvex's alone: the
// setup's own rows remove it.)
#include "app/Menus.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    settings::DeleteEntriesOnEveryFile(app::Menus(), settings::MachineClasses(),
                                       settings::UserClasses(), L"Tarvex.exe");
    return 0;
}

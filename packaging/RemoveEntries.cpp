// The setup's last step at uninstall: removes the "Compile" entry on every .mq4 file that
// Tarvex.exe wrote at its starts, from both classes roots, unless it is another program's. (The
// verb on MetaEditor's class is Tarvex's alone: the setup's own rows remove it.)
#include "settings/ContextMenu.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    settings::DeleteEntriesOnEveryFile(settings::MachineClasses(), settings::UserClasses(),
                                       L"Tarvex.exe");
    return 0;
}

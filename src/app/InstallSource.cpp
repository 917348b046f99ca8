// The install of one source file, started from the context menu.
#include "app/frMain.h"

void frMain::InstallSource(const std::string&) {
    Unload();
}

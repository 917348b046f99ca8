// The options kept between runs.
#include "app/frMain.h"

void frMain::LoadSettings() {}

void frMain::SaveSettings() {}

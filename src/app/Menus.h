// The context menu's entries for each generation's sources.
#pragma once

#include "settings/ContextMenu.h"
#include "terminal/Terminal.h"

#include <vector>

namespace app {

// With the terminals found, in the order of kGenerations; without: what Uninstall removes.
std::vector<settings::SourceMenu> Menus(const std::vector<terminal::Terminals>& found = {});

} // namespace app

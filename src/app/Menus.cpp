#include "app/Menus.h"

namespace app {

std::vector<settings::SourceMenu> Menus(const std::vector<terminal::Terminals>& found) {
    std::vector<settings::SourceMenu> menus;
    for (const terminal::Generation& generation : terminal::kGenerations) {
        settings::SourceMenu& menu = menus.emplace_back();
        menu.extension = generation.extension;
        menu.fileClass = generation.fileClass;
        if (terminal::IndexOf(generation) < found.size()) {
            for (const terminal::Terminal& listed : found[terminal::IndexOf(generation)].listed) {
                menu.terminals.push_back({listed.name, listed.folder});
            }
        }
    }
    return menus;
}

} // namespace app

#include "app/Placement.h"

#include <windows.h>

namespace app {

Placement PlacementOf(bool sameFolder, bool exists) {
    if (!exists) {
        return Placement::Copy;
    }
    return sameFolder ? Placement::InPlace : Placement::Ask;
}

bool Replaces(int answer) {
    return answer == IDYES;
}

} // namespace app

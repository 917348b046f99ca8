// Where the install puts a source, decided from what the kind folder holds.
#pragma once

namespace app {

enum class Placement {
    InPlace, // the source lies in its kind folder: compiled where it is
    Ask,     // a file of its name is there already: replaced only on the user's Yes
    Copy,    // copied into the kind folder
};

Placement PlacementOf(bool sameFolder, bool exists);

// Only a Yes replaces: No, a closed box or a box that could not be shown change nothing.
bool Replaces(int answer);

} // namespace app

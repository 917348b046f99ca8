// The options kept between runs, in the current user's registry.
#pragma once

#include "settings/OptionsWindow.h"

namespace settings {

// Only the exact stored texts count; anything else leaves a control as the window made it.
// Loading never creates the key.
void LoadSettings(OptionsWindow& options);

// Writes "op", "del" and "tell" from the controls; failed writes are silent.
void SaveSettings(const OptionsWindow& options);

} // namespace settings

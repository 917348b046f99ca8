// The "Compile" verb in the context menu of MQL4 sources.
#pragma once

namespace settings {

// Registers the verb with the running executable's command; failures are silent.
void SetKeys() noexcept;

// Removes the verb; failures are silent.
void DeleteKeys() noexcept;

} // namespace settings

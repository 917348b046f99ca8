#include "settings/ContextMenu.h"

namespace settings {

void SetKeys() noexcept {}

void DeleteKeys() noexcept {}

} // namespace settings

// The command line as the program reads it: in UTF-16, so that a name is seen as it is.
#pragma once

#include <string>

namespace app {

// Everything after the program's own path and the blanks that follow it; not split.
std::wstring ArgumentText(const std::wstring& commandLine);

// The last three characters, lower-cased, are "mq4"; nothing is trimmed.
bool HasSourceExtension(const std::wstring& sourcePath);

} // namespace app

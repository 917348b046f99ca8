// The command line as the program reads it.
#pragma once

#include <string>

namespace app {

// Everything after the program's own path and the blanks that follow it; not split.
std::string ArgumentText(const std::string& commandLine);

// The last three characters, lower-cased, are "mq4"; nothing is trimmed.
bool HasSourceExtension(const std::string& sourcePath);

} // namespace app

#include "app/Arguments.h"
#include "sys/Text.h"

namespace app {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

std::string ArgumentText(const std::string& commandLine) {
    std::string::size_type at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const auto closing = commandLine.find('"', 1);
        at = closing == std::string::npos ? commandLine.size() : closing + 1;
    }
    while (at < commandLine.size() && !IsBlank(commandLine[at])) {
        ++at;
    }
    while (at < commandLine.size() && IsBlank(commandLine[at])) {
        ++at;
    }
    return commandLine.substr(at);
}

bool HasSourceExtension(const std::string& sourcePath) {
    const auto start = sourcePath.size() > 3 ? sourcePath.size() - 3 : 0;
    std::string tail;
    for (auto i = start; i < sourcePath.size(); ++i) {
        tail += sys::ToLowerAscii(sourcePath[i]);
    }
    return tail == "mq4";
}

} // namespace app

// Shared by the end-to-end tests: where the program is, and how long to wait for it.
#pragma once

#include "TestSupport.h"

#include <string>

namespace e2e {

constexpr unsigned long kTimeoutMs = 20000;

inline std::string TarvexExe() {
    return testing_support::BuildFolder() + "\\Tarvex.exe";
}

} // namespace e2e

#include "terminal/Roads.h"

namespace terminal {

CompileReport Compile(const Terminal& terminal, const std::wstring& file) noexcept {
    return terminal.layout == Layout::Current ? EditorCompile(terminal, file)
                                              : BatchCompile(terminal, file);
}

EditorLaunch OpenMetaEditor(const Terminal& terminal, const std::wstring& file) {
    return terminal.layout == Layout::Current ? EditorOpen(terminal, file)
                                              : BatchOpen(terminal, file);
}

EditorLaunch& EditorLaunch::operator=(EditorLaunch&& other) noexcept {
    if (worker_.joinable()) {
        worker_.join();
    }
    worker_ = std::move(other.worker_);
    failure_ = std::move(other.failure_);
    return *this;
}

EditorLaunch::~EditorLaunch() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

} // namespace terminal

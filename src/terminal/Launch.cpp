// Hands an installed source to metalang and MetaEditor through batch files in the terminal
// folder. Instances started together (one per file of an Explorer selection) take turns on
// the batch files of one terminal folder.
#include "sys/CodePage.h"
#include "sys/Handles.h"
#include "sys/Main.h"
#include "sys/Shell.h"
#include "terminal/Terminal.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace terminal {

namespace {

constexpr DWORD kLockWaitMs = 180000;    // another instance's turn, compile included
constexpr DWORD kCompileWaitMs = 120000; // the compiler of a large program takes seconds
// cmd reads a batch file by offset while its program runs: run.bat is not rewritten under an
// interpreter that still reads it, unless its editor stays open longer than this.
constexpr DWORD kEditorWaitMs = 15000;

// cmd expands %; a doubled one stands for itself.
std::string EscapePercent(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    return out;
}

// In the console's code page, in which the interpreter reads a batch file; empty when the
// text has a character without a form there.
std::string InConsoleCodePage(const std::string& text) {
    std::string console;
    sys::ToCodePage(sys::FromCodePage(text, CP_ACP), CP_OEMCP, console);
    return console;
}

std::string BatchText(const std::string& folder, const char* command, const std::string& file) {
    const std::string text =
        "cd /d \"" + EscapePercent(folder) + "\"\r\n" + command + "\"" + EscapePercent(file) + "\"";
    std::string console = InConsoleCodePage(text);
    if (console.empty()) {
        throw std::runtime_error("The console code page cannot express this path, so no batch "
                                 "file can hand it to the terminal's tools:\r\n" +
                                 file);
    }
    return console;
}

// One named mutex per terminal folder, whatever the letter case of its spelling.
class BatchLock {
public:
    explicit BatchLock(std::string folder) noexcept {
        CharUpperBuffA(&folder[0], static_cast<DWORD>(folder.size()));
        std::uint64_t hash = 14695981039346656037ull; // FNV-1a
        for (const char c : folder) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        char name[64];
        std::snprintf(name, sizeof name, "Local\\Tarvex.BatchFiles.%016llx",
                      static_cast<unsigned long long>(hash));
        mutex_.reset(CreateMutexA(nullptr, FALSE, name));
        // A turn that never ends must not hang this one: after the wait, go on regardless.
        owned_ = mutex_ && WaitForSingleObject(mutex_.get(), kLockWaitMs) != WAIT_TIMEOUT;
    }
    ~BatchLock() {
        if (owned_) {
            ReleaseMutex(mutex_.get());
        }
    }
    BatchLock(const BatchLock&) = delete;
    BatchLock& operator=(const BatchLock&) = delete;

private:
    sys::unique_handle mutex_;
    bool owned_ = false;
};

template <typename Step> bool Guarded(Step step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

bool FitsConsoleCodePage(const std::string& path) {
    return path.empty() || !InConsoleCodePage(path).empty();
}

void Compile(const std::string& file) noexcept {
    std::string folder;
    if (!Guarded([&] { folder = GetMT4Path(); })) {
        return;
    }
    const std::string batch = folder + "\\compile.bat";
    BatchLock lock(folder);
    // Launching or deleting a compile.bat that this call did not write would compile or
    // remove another instance's file; those steps follow a successful write only.
    if (!Guarded([&] { Main::WriteTextFile(batch, BatchText(folder, "metalang -q ", file)); })) {
        return;
    }
    sys::unique_handle interpreter;
    Shell::ShellRun("compile.bat", "Open", nullptr, folder, SW_HIDE, &interpreter);
    // Never delete the batch file under a running interpreter: after a timeout it stays.
    if (interpreter && WaitForSingleObject(interpreter.get(), kCompileWaitMs) != WAIT_OBJECT_0) {
        return;
    }
    Guarded([&] { Main::DeleteOneFile(batch); });
}

void OpenMetaEditor(const std::string& file) {
    const std::string folder = GetMT4Path();
    BatchLock lock(folder);
    Main::WriteTextFile(folder + "\\run.bat", BatchText(folder, "MetaEditor ", file));
    sys::unique_handle interpreter;
    Shell::ShellRun("run.bat", "Open", nullptr, folder, SW_HIDE, &interpreter);
    if (interpreter) {
        WaitForSingleObject(interpreter.get(), kEditorWaitMs);
    }
}

} // namespace terminal

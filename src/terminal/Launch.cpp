// Hands an installed source to metalang and MetaEditor through batch files in the terminal
// folder. Instances started together (one per file of an Explorer selection) take turns on
// the batch files of one terminal folder.
#include "sys/Handles.h"
#include "sys/Main.h"
#include "sys/Shell.h"
#include "terminal/Terminal.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>

namespace terminal {

namespace {

constexpr DWORD kLockWaitMs = 180000;    // another instance's turn, compile included
constexpr DWORD kCompileWaitMs = 120000; // the compiler of a large program takes seconds
constexpr DWORD kStartWaitMs = 15000;    // until the interpreter has started its program
constexpr DWORD kPollMs = 10;

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

std::string BatchText(const std::string& folder, const char* command, const std::string& file) {
    return "cd /d \"" + EscapePercent(folder) + "\"\r\n" + command + "\"" + EscapePercent(file) +
           "\"";
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

bool HasStarted(DWORD interpreter, const char* program) {
    sys::unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) {
        return false;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        // Compared by name: the interpreter's console host is a child of it too.
        if (entry.th32ParentProcessID == interpreter && lstrcmpiA(entry.szExeFile, program) == 0) {
            return true;
        }
    }
    return false;
}

// Until the interpreter has read its batch file's command line: it has ended, or it has
// started the program of line 2. Bounded.
void WaitUntilBatchRead(HANDLE interpreter, const char* program) {
    if (interpreter == nullptr) {
        return;
    }
    const DWORD pid = GetProcessId(interpreter);
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(interpreter, kPollMs) == WAIT_TIMEOUT &&
           GetTickCount() - start < kStartWaitMs) {
        if (HasStarted(pid, program)) {
            return;
        }
    }
}

template <typename Step> bool Guarded(Step step) noexcept {
    try {
        step();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

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
    WaitUntilBatchRead(interpreter.get(), "MetaEditor.exe");
}

} // namespace terminal

// Before build 600: metalang and MetaEditor run through batch files in the terminal folder,
// one run at a time per terminal.
#include "sys/CodePage.h"
#include "sys/Main.h"
#include "sys/Shell.h"
#include "terminal/Roads.h"
#include "terminal/Turn.h"

#include <future>
#include <stdexcept>

namespace terminal {

namespace {

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
    sys::ToCodePage(sys::FromAnsi(text), CP_OEMCP, console);
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

// The folder as the registry gave it: it came from the ANSI code page, so it goes back exactly.
std::string AnsiFolder(const Terminal& terminal) {
    std::string folder;
    sys::ToCodePage(terminal.folder, CP_ACP, folder);
    return folder;
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

bool FitsConsoleCodePage(const std::string& path) {
    return path.empty() || !InConsoleCodePage(path).empty();
}

CompileReport BatchCompile(const Terminal& terminal, const std::string& file) noexcept {
    std::string folder;
    if (!Guarded([&] { folder = AnsiFolder(terminal); })) {
        return {};
    }
    const std::string batch = folder + "\\compile.bat";
    const Turn turn(terminal.folder);
    if (!turn) {
        return {CompileReport::State::NoTurn, {}};
    }
    // Launching or deleting a compile.bat that this call did not write would compile or
    // remove another run's file; those steps follow a successful write only.
    if (!Guarded([&] { Main::WriteTextFile(batch, BatchText(folder, "metalang -q ", file)); })) {
        return {};
    }
    sys::unique_handle interpreter;
    Shell::ShellRun("compile.bat", "Open", nullptr, folder, SW_HIDE, &interpreter);
    // Never delete the batch file under a running interpreter: after a timeout it stays.
    if (interpreter && WaitForSingleObject(interpreter.get(), kCompileWaitMs) != WAIT_OBJECT_0) {
        return {};
    }
    Guarded([&] { Main::DeleteOneFile(batch); });
    return {};
}

EditorLaunch BatchOpen(const Terminal& terminal, const std::string& file) {
    std::promise<bool> launched; // false: no turn; an exception: run.bat was not written
    std::future<bool> outcome = launched.get_future();
    std::thread worker([folder = AnsiFolder(terminal), wide = terminal.folder, file,
                        launched = std::move(launched)]() mutable {
        const Turn turn(wide);
        if (!turn) {
            launched.set_value(false);
            return;
        }
        sys::unique_handle interpreter;
        try {
            Main::WriteTextFile(folder + "\\run.bat", BatchText(folder, "MetaEditor ", file));
            Shell::ShellRun("run.bat", "Open", nullptr, folder, SW_HIDE, &interpreter);
        } catch (...) {
            launched.set_exception(std::current_exception());
            return;
        }
        launched.set_value(true);
        if (interpreter) {
            WaitForSingleObject(interpreter.get(), kEditorWaitMs);
        }
    });
    try {
        const bool started = outcome.get();
        return EditorLaunch(std::move(worker), started);
    } catch (...) {
        worker.join();
        throw;
    }
}

} // namespace terminal

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
std::wstring EscapePercent(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        out += c;
        if (c == L'%') {
            out += L'%';
        }
    }
    return out;
}

// In the console's code page, in which the interpreter reads a batch file. The destination
// was refused before anything was copied when it had no form there.
std::string BatchText(const std::wstring& folder, const wchar_t* command,
                      const std::wstring& file) {
    const std::wstring text = L"cd /d \"" + EscapePercent(folder) + L"\"\r\n" + command + L"\"" +
                              EscapePercent(file) + L"\"";
    std::string console;
    if (!sys::ToCodePage(text, CP_OEMCP, console)) {
        throw std::logic_error("a batch file's text without a form in the console code page");
    }
    return console;
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

UINT CodePageLacking(const std::wstring& path) {
    std::string form;
    for (const UINT page : {GetACP(), GetOEMCP()}) {
        if (!sys::ToCodePage(path, page, form)) {
            return page;
        }
    }
    return 0;
}

CompileReport BatchCompile(const Terminal& terminal, const std::wstring& file) noexcept {
    const std::wstring& folder = terminal.folder;
    const Turn turn(folder);
    if (!turn) {
        return {CompileReport::State::NotRun, turn.Failure()};
    }
    // Launching or deleting a compile.bat that this call did not write would compile or
    // remove another run's file; those steps follow a successful write only.
    const std::wstring batch = folder + L"\\compile.bat";
    if (!Guarded([&] { Main::WriteTextFile(batch, BatchText(folder, L"metalang -q ", file)); })) {
        return {};
    }
    sys::unique_handle interpreter;
    Shell::ShellRun(L"compile.bat", L"Open", nullptr, folder, SW_HIDE, &interpreter);
    // Never delete the batch file under a running interpreter: after a timeout it stays.
    if (interpreter && WaitForSingleObject(interpreter.get(), kCompileWaitMs) != WAIT_OBJECT_0) {
        return {};
    }
    Guarded([&] { Main::DeleteOneFile(batch); });
    return {};
}

EditorLaunch BatchOpen(const Terminal& terminal, const std::wstring& file) {
    // Why nothing was started (empty: started), or the error of writing run.bat.
    std::promise<std::wstring> launched;
    std::future<std::wstring> outcome = launched.get_future();
    std::thread worker([folder = terminal.folder, file, launched = std::move(launched)]() mutable {
        const Turn turn(folder);
        if (!turn) {
            launched.set_value(turn.Failure());
            return;
        }
        sys::unique_handle interpreter;
        try {
            Main::WriteTextFile(folder + L"\\run.bat", BatchText(folder, L"MetaEditor ", file));
            Shell::ShellRun(L"run.bat", L"Open", nullptr, folder, SW_HIDE, &interpreter);
        } catch (...) {
            launched.set_exception(std::current_exception());
            return;
        }
        launched.set_value({});
        if (interpreter) {
            WaitForSingleObject(interpreter.get(), kEditorWaitMs);
        }
    });
    try {
        std::wstring failure = outcome.get();
        return EditorLaunch(std::move(failure), std::move(worker));
    } catch (...) {
        worker.join();
        throw;
    }
}

} // namespace terminal

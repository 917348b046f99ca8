// From build 600 on: the terminal's editor compiles (metaeditor.exe /compile:"file" /log) and
// opens a file itself. It exits with the number of files it compiled and writes the program and
// a log beside the file.
#include "sys/CodePage.h"
#include "sys/Folders.h"
#include "sys/Shell.h"
#include "sys/SysError.h"
#include "terminal/Roads.h"
#include "terminal/Turn.h"

namespace terminal {

namespace {

// The errors a failure message lists; the log's result line counts them all.
constexpr int kListedErrors = 5;
// How long an editor that was ended may take to go.
constexpr DWORD kEndWaitMs = 10000;

std::wstring EditorCommand(const Terminal& terminal, const std::wstring& arguments) {
    // A portable terminal's editor looks for its data in its own folder only when told so.
    return L"\"" + terminal.editor + L"\" " + arguments +
           (terminal.Portable() ? L" /portable" : L"");
}

std::wstring NotStarted(const Terminal& terminal, DWORD error) {
    return L"The terminal's editor could not be started:\r\n" + terminal.editor + L"\r\n\r\n" +
           sys::SystemMessage(error);
}

// The file beside the source that the editor writes: name.ex4 for name.mq4, name.ex5 for name.mq5.
std::wstring Beside(const std::wstring& source, const wchar_t* extension) {
    const auto dot =
        source.size() >= 4 && source[source.size() - 4] == L'.' ? source.size() - 4 : source.size();
    return source.substr(0, dot) + extension;
}

// What the log says went wrong: its first error lines, each as the file's own name, (line,column)
// and the message (the log names the file by its full path), then its last "Result:" line.
std::wstring Findings(const std::wstring& log) {
    std::wstring errors;
    std::wstring result;
    int listed = 0;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find_first_of(L"\r\n", start);
        end = end == std::wstring::npos ? log.size() : end;
        std::wstring line = log.substr(start, end - start);
        line.erase(0, line.find_first_not_of(L" \t"));
        const auto error = line.find(L" : error ");
        if (line.compare(0, 7, L"Result:") == 0) {
            result = line;
        } else if (error != std::wstring::npos && listed < kListedErrors) {
            const auto name = line.rfind(L'\\', error);
            errors += line.substr(name == std::wstring::npos ? 0 : name + 1) + L"\r\n";
            ++listed;
        }
        start = end + 1;
    }
    return errors + result;
}

} // namespace

CompileReport EditorCompile(const Terminal& terminal, const std::wstring& source) noexcept {
    using State = CompileReport::State;
    try {
        const Turn turn(terminal.folder);
        if (!turn) {
            return {State::NotRun, turn.Failure()};
        }
        const std::wstring program = Beside(source, terminal.generation->compiled);
        const std::wstring log = Beside(source, L".log");
        const std::uint64_t programBefore = sys::WriteTimeOf(program);
        const std::uint64_t logBefore = sys::WriteTimeOf(log);
        sys::unique_handle editor;
        const DWORD started =
            Shell::StartProgram(EditorCommand(terminal, L"/compile:\"" + source + L"\" /log"),
                                terminal.folder, SW_HIDE, &editor);
        if (started != ERROR_SUCCESS) {
            return {State::NotRun, NotStarted(terminal, started)};
        }
        if (WaitForSingleObject(editor.get(), kCompileWaitMs) != WAIT_OBJECT_0) {
            // Left running, it could write its program later, to the credit of another run.
            TerminateProcess(editor.get(), ERROR_TIMEOUT);
            WaitForSingleObject(editor.get(), kEndWaitMs);
            return {State::Failed, L"The editor had not finished it after " +
                                       std::to_wstring(kCompileWaitMs / 1000) +
                                       L" s, and was ended."};
        }
        // The number of files it compiled; a crash's code is a negative one.
        DWORD exitCode = 0;
        GetExitCodeProcess(editor.get(), &exitCode);
        const std::uint64_t programAfter = sys::WriteTimeOf(program);
        // A volume that keeps write times in 2 s steps (FAT, as on a stick that holds a portable
        // terminal) may show a program compiled again as unchanged: the count tells then.
        if (programAfter != 0 &&
            (programAfter != programBefore || static_cast<int>(exitCode) >= 1)) {
            return {State::Compiled, {}};
        }
        // A log left from an earlier compile says nothing of this one.
        const bool logged = sys::WriteTimeOf(log) != logBefore;
        return {State::Failed,
                logged ? Findings(sys::FromFileText(sys::ReadSmallFile(log, 1 << 24))) : L""};
    } catch (...) {
        return {State::Failed, {}};
    }
}

EditorLaunch EditorOpen(const Terminal& terminal, const std::wstring& file) {
    // Started and left alone: no batch file is read, so nothing has to wait for the editor.
    const DWORD started = Shell::StartProgram(EditorCommand(terminal, L"\"" + file + L"\""),
                                              terminal.folder, SW_SHOWNORMAL);
    return started == ERROR_SUCCESS ? EditorLaunch() : EditorLaunch(NotStarted(terminal, started));
}

} // namespace terminal

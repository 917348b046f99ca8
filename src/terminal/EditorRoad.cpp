// From build 600 on: the terminal's editor compiles (metaeditor.exe /compile:"file" /log) and
// opens a file itself. Its exit code tells nothing; the program it writes beside the file does.
#include "sys/CodePage.h"
#include "sys/Folders.h"
#include "sys/Shell.h"
#include "terminal/Roads.h"
#include "terminal/Turn.h"

namespace terminal {

namespace {

std::wstring EditorCommand(const Terminal& terminal, const std::wstring& arguments) {
    // A portable terminal's editor looks for its data in its own folder only when told so.
    return L"\"" + terminal.folder + L"\\metaeditor.exe\" " + arguments +
           (terminal.Portable() ? L" /portable" : L"");
}

// The file beside the source that the editor writes: name.ex4 for name.mq4.
std::wstring Beside(const std::wstring& source, const wchar_t* extension) {
    const auto dot =
        source.size() >= 4 && source[source.size() - 4] == L'.' ? source.size() - 4 : source.size();
    return source.substr(0, dot) + extension;
}

// The last line of the log that begins with "Result:", as "Result: 2 errors, 1 warnings".
std::wstring ResultLine(const std::wstring& log) {
    std::wstring result;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find_first_of(L"\r\n", start);
        end = end == std::wstring::npos ? log.size() : end;
        const std::wstring line = log.substr(start, end - start);
        const auto text = line.find_first_not_of(L" \t");
        if (text != std::wstring::npos && line.compare(text, 7, L"Result:") == 0) {
            result = line.substr(text);
        }
        start = end + 1;
    }
    return result;
}

} // namespace

CompileReport EditorCompile(const Terminal& terminal, const std::wstring& source) noexcept {
    try {
        const Turn turn(terminal.folder);
        if (!turn) {
            return {CompileReport::State::NoTurn, {}};
        }
        const std::wstring program = Beside(source, L".ex4");
        const std::wstring log = Beside(source, L".log");
        const std::uint64_t programBefore = sys::WriteTimeOf(program);
        const std::uint64_t logBefore = sys::WriteTimeOf(log);
        sys::unique_handle editor;
        Shell::StartProgram(EditorCommand(terminal, L"/compile:\"" + source + L"\" /log"),
                            terminal.folder, SW_HIDE, &editor);
        if (editor) {
            WaitForSingleObject(editor.get(), kCompileWaitMs);
        }
        const std::uint64_t programAfter = sys::WriteTimeOf(program);
        if (programAfter != 0 && programAfter != programBefore) {
            return {CompileReport::State::Compiled, {}};
        }
        // A log left from an earlier compile says nothing of this one.
        const bool logged = sys::WriteTimeOf(log) != logBefore;
        return {CompileReport::State::Failed,
                logged ? ResultLine(sys::FromFileText(sys::ReadSmallFile(log, 1 << 24))) : L""};
    } catch (...) {
        return {CompileReport::State::Failed, {}};
    }
}

EditorLaunch EditorOpen(const Terminal& terminal, const std::wstring& file) {
    // Started and left alone: no batch file is read, so nothing has to wait for the editor.
    Shell::StartProgram(EditorCommand(terminal, L"\"" + file + L"\""), terminal.folder,
                        SW_SHOWNORMAL);
    return {};
}

} // namespace terminal

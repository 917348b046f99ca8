// Stand-ins for MetaTrader's metalang and MetaEditor. Each appends to standins.log beside
// itself, in UTF-8: program|command line|working folder|1 when the file it was given exists|line 2
// of the batch file that ran it as cmd read it (console code page, %% as %). metalang, and the
// editor given /compile:"file", compile as the real tools do: the .ex4 (.ex5 of an .mq5) and (the
// editor) its UTF-16 log beside the file, a line per message; the exit code is the number of files
// compiled.
//   TARVEX_STANDIN_DELAY_MS    each takes that long;
//   TARVEX_STANDIN_RESULT      "2 errors, 1 warnings": the editor's compile fails so;
//   TARVEX_STANDIN_FAILING     only the compiles of files whose names hold this text do;
//   TARVEX_STANDIN_KEEP_TIME   the .ex4 keeps the write time it had, as on a FAT volume.
#include "Support.h"
#include "sys/CodePage.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using testing_support::Utf8;

std::string BatchLine(const std::filesystem::path& batch) {
    std::ifstream file(batch, std::ios::binary);
    std::string line;
    std::getline(std::getline(file, line), line);
    line = line.substr(0, line.find('\r'));
    for (auto at = line.find("%%"); at != std::string::npos; at = line.find("%%", at + 1)) {
        line.erase(at, 1);
    }
    return Utf8(sys::FromCodePage(line, CP_OEMCP));
}

// Compiles the file as the editor does; the number of files compiled.
int Compile(const std::filesystem::path& file) {
    const char* failing = std::getenv("TARVEX_STANDIN_FAILING");
    const char* failure =
        failing == nullptr || Utf8(file.filename().wstring()).find(failing) != std::string::npos
            ? std::getenv("TARVEX_STANDIN_RESULT")
            : nullptr;
    const bool mql5 = file.extension().wstring().back() == L'5';
    const auto program = std::filesystem::path(file).replace_extension(mql5 ? ".ex5" : ".ex4");
    WIN32_FILE_ATTRIBUTE_DATA before{}; // to the 100 ns, as the system keeps it
    const bool existed = GetFileAttributesExW(program.c_str(), GetFileExInfoStandard, &before);
    std::filesystem::remove(program);
    int errors = 0;
    int warnings = 0;
    if (failure == nullptr) {
        std::ofstream(program, std::ios::binary)
            << "compiled from " << Utf8(file.wstring()) << "\r\n";
        if (std::getenv("TARVEX_STANDIN_KEEP_TIME") && existed) {
            const HANDLE written = CreateFileW(program.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr);
            SetFileTime(written, nullptr, nullptr, &before.ftLastWriteTime);
            CloseHandle(written);
        }
    } else {
        std::sscanf(failure, "%d errors, %d warnings", &errors, &warnings);
    }
    std::string log = "\r\n\r\n";
    for (int i = 0; i < errors + warnings; ++i) {
        log += Utf8(file.wstring()) + "(" + std::to_string(10 + i) + ",5) : " +
               (i < errors ? "error 256: 'x" + std::to_string(i) + "' - undeclared identifier"
                           : "warning 83: return value of 'OrderModify' should be checked") +
               "\r\n";
    }
    std::ofstream(std::filesystem::path(file).replace_extension(".log"), std::ios::binary)
        << testing_support::Utf16(
               log + "Result: " + (failure ? failure : "0 errors, 0 warnings, 210 msec elapsed") +
               "\r\n");
    return failure == nullptr ? 1 : 0;
}

} // namespace

int main() {
    if (const char* delay = std::getenv("TARVEX_STANDIN_DELAY_MS")) {
        Sleep(static_cast<DWORD>(std::atoi(delay)));
    }
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring argument; // the file: the last argument that is none of the editor's switches
    bool compile = std::string(STANDIN_NAME) == "metalang";
    for (int i = 1; i < count; ++i) {
        const std::wstring text = argv[i];
        if (text.rfind(L"/compile:", 0) == 0) {
            argument = text.substr(9);
            compile = true;
        } else if (text.rfind(L"/", 0) != 0) {
            argument = text;
        }
    }
    const std::filesystem::path file = argument;
    const bool found = !file.empty() && std::filesystem::exists(file);
    const int compiled = compile && found ? Compile(file) : 0;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // Several stand-ins may finish at once; one writer at a time keeps the lines whole.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\TarvexStandInLog");
    WaitForSingleObject(mutex, 10000);
    std::ofstream(std::filesystem::path(self).replace_filename("standins.log"),
                  std::ios::binary | std::ios::app)
        << STANDIN_NAME << "|" << Utf8(GetCommandLineW()) << "|"
        << Utf8(std::filesystem::current_path().wstring()) << "|" << found << "|"
        << BatchLine(std::string(STANDIN_NAME) == "metalang" ? "compile.bat" : "run.bat") << "\r\n";
    ReleaseMutex(mutex);
    return compiled;
}

// Stand-ins for MetaTrader 4's metalang and MetaEditor. Each appends one line, in UTF-8, to
// standins.log beside itself: program|command line|working folder|1 when the file it was
// given exists, else 0|line 2 of the batch file that ran it (compile.bat or run.bat) as cmd
// read it: in the console code page, %% as %. metalang, and MetaEditor given /compile:"file",
// write the .ex4 beside the source as the real tools do; the editor also writes its UTF-16
// log there. TARVEX_STANDIN_DELAY_MS makes either take that long; TARVEX_STANDIN_RESULT
// ("2 errors, 1 warnings") makes the editor's compile fail with that result.
#include "Support.h"
#include "sys/CodePage.h"

#include <shellapi.h>

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
    if (compile && found) {
        const char* failure = std::getenv("TARVEX_STANDIN_RESULT");
        const auto program = std::filesystem::path(file).replace_extension(".ex4");
        std::filesystem::remove(program);
        if (failure == nullptr) {
            std::ofstream(program, std::ios::binary)
                << "compiled from " << Utf8(file.wstring()) << "\r\n";
        }
        std::ofstream(std::filesystem::path(file).replace_extension(".log"), std::ios::binary)
            << testing_support::Utf16(
                   "compiling '" + Utf8(file.filename().wstring()) +
                   "'\r\nResult: " + (failure ? failure : "0 errors, 0 warnings") + "\r\n");
    }
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
    return 0;
}

// Stand-ins for MetaTrader 4's metalang and MetaEditor. Each appends one line, in UTF-8, to
// standins.log beside itself: program|command line|working folder|1 when the file it was
// given exists, else 0|line 2 of the batch file that ran it (compile.bat or run.bat) as cmd
// read it: in the console code page, %% as %. metalang also writes the .ex4 beside the
// source, as the real compiler does. TARVEX_STANDIN_DELAY_MS makes either take that long.
#include "sys/CodePage.h"

#include <shellapi.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string Utf8(const std::wstring& text) {
    std::string out;
    sys::ToCodePage(text, CP_UTF8, out);
    return out;
}

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
    const std::filesystem::path file = count > 1 ? argv[count - 1] : L"";
    const bool found = !file.empty() && std::filesystem::exists(file);
    const bool compiler = std::string(STANDIN_NAME) == "metalang";
    if (compiler && found) {
        std::ofstream(std::filesystem::path(file).replace_extension(".ex4"), std::ios::binary)
            << "compiled from " << Utf8(file.wstring()) << "\r\n";
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
        << BatchLine(compiler ? "compile.bat" : "run.bat") << "\r\n";
    ReleaseMutex(mutex);
    return 0;
}

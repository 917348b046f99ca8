// Stand-ins for MetaTrader 4's metalang and MetaEditor: they record what they were given in
// standins.log beside themselves; metalang also writes the .ex4 beside the source, as the
// real compiler does, and keeps a copy of the compile.bat that ran it (compile.bat.seen), as
// the program removes its own. Environment for the tests: TARVEX_STANDIN_DELAY_MS makes either one
// take that long before it ends.
#include <windows.h>

#include <cstdlib>
#include <string>

#ifndef STANDIN_NAME
#error "STANDIN_NAME must name the stand-in"
#endif

namespace {

std::string OwnFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string text(path, length);
    return text.substr(0, text.rfind('\\'));
}

void Record(const std::string& line) {
    // Several stand-ins may finish at once; one writer at a time keeps the lines whole.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "Local\\TarvexStandInLog");
    WaitForSingleObject(mutex, 10000);
    HANDLE log = CreateFileA((OwnFolder() + "\\standins.log").c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

void WriteCompiled(const std::string& source) {
    const auto dot = source.rfind('.');
    const std::string target = (dot == std::string::npos ? source : source.substr(0, dot)) + ".ex4";
    HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string text = "compiled from " + source + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int main(int argc, char** argv) {
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (const char* delay = std::getenv("TARVEX_STANDIN_DELAY_MS")) {
        Sleep(static_cast<DWORD>(std::atoi(delay)));
    }
    if (std::string(STANDIN_NAME) == "metalang" && argc > 1) {
        WriteCompiled(argv[argc - 1]);
        CopyFileA("compile.bat", "compile.bat.seen", FALSE);
    }
    Record(std::string(STANDIN_NAME) + "|" + GetCommandLineA() + "|" + folder + "\r\n");
    return 0;
}

// Stand-ins for MetaTrader 4's metalang and MetaEditor. Each appends one line, in UTF-8, to
// standins.log beside itself: program|command line|working folder|1 when the file it was
// given exists, else 0|line 2 of the batch file that ran it (compile.bat or run.bat) as cmd
// read it: in the console code page, %% as %. metalang also writes the .ex4 beside the
// source, as the real compiler does. TARVEX_STANDIN_DELAY_MS makes either take that long.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 4, '\0');
    out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                                            static_cast<int>(text.size()), &out[0],
                                                            static_cast<int>(out.size()), 0, 0)));
    return out;
}

void Append(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string BatchLine(const wchar_t* batch) {
    HANDLE file = CreateFileW(batch, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    char bytes[4096];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    const std::string text = std::string(bytes, read) + "\r\n\r\n";
    const auto start = text.find("\r\n") + 2;
    std::string line = text.substr(start, text.find("\r\n", start) - start);
    for (auto at = line.find("%%"); at != std::string::npos; at = line.find("%%", at + 1)) {
        line.erase(at, 1);
    }
    std::wstring wide(line.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_OEMCP, 0, line.data(), static_cast<int>(line.size()), &wide[0],
                            static_cast<int>(line.size()))));
    return Utf8(wide);
}

} // namespace

int main() {
    if (const char* delay = std::getenv("TARVEX_STANDIN_DELAY_MS")) {
        Sleep(static_cast<DWORD>(std::atoi(delay)));
    }
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring file = count > 1 ? argv[count - 1] : L"";
    const bool found = !file.empty() && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool compiler = std::string(STANDIN_NAME) == "metalang";
    if (compiler && found) {
        Append(file.substr(0, file.rfind(L'.')) + L".ex4", "compiled from " + Utf8(file) + "\r\n");
    }
    wchar_t own[MAX_PATH];
    const std::wstring self(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    // Several stand-ins may finish at once; one writer at a time keeps the lines whole.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\TarvexStandInLog");
    WaitForSingleObject(mutex, 10000);
    Append(self.substr(0, self.rfind(L'\\')) + L"\\standins.log",
           std::string(STANDIN_NAME) + "|" + Utf8(GetCommandLineW()) + "|" + Utf8(folder) + "|" +
               (found ? "1" : "0") + "|" + BatchLine(compiler ? L"compile.bat" : L"run.bat") +
               "\r\n");
    ReleaseMutex(mutex);
    return 0;
}

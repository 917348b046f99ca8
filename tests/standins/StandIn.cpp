// Stand-ins for MetaTrader 4's metalang and MetaEditor. Each records in standins.log beside
// itself, in UTF-8, one line: program|command line|working folder|1 when the file it was
// given exists, else 0|line 2 of the batch file that runs it (compile.bat or run.bat), read
// in the console code page as cmd reads it, a doubled % as one. metalang also writes the .ex4
// beside the source, as the real compiler does, and keeps a copy of its compile.bat
// (compile.bat.seen), as the program removes its own. TARVEX_STANDIN_DELAY_MS makes either one take
// that long.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>

#ifndef STANDIN_NAME
#error "STANDIN_NAME must name the stand-in"
#endif

namespace {

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 4 + 1, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const std::wstring text(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return text.substr(0, text.rfind(L'\\'));
}

// The second line of the batch file, as the interpreter read it.
std::string BatchLine(const wchar_t* batch) {
    HANDLE file = CreateFileW(batch, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    char bytes[4096];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    const std::string text(bytes, read);
    const auto start = text.find("\r\n");
    const auto end = text.find("\r\n", start + 2);
    if (start == std::string::npos || end == std::string::npos) {
        return "";
    }
    std::string line = text.substr(start + 2, end - start - 2);
    for (auto at = line.find("%%"); at != std::string::npos; at = line.find("%%", at + 1)) {
        line.erase(at, 1);
    }
    std::wstring wide(line.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_OEMCP, 0, line.data(), static_cast<int>(line.size()), &wide[0],
                            static_cast<int>(wide.size()))));
    return Utf8(wide);
}

void Append(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
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
    const std::string batchLine = BatchLine(compiler ? L"compile.bat" : L"run.bat");
    if (compiler) {
        CopyFileW(L"compile.bat", L"compile.bat.seen", FALSE);
    }
    if (compiler && found) {
        const std::wstring compiled = file.substr(0, file.rfind(L'.')) + L".ex4";
        DeleteFileW(compiled.c_str());
        Append(compiled, "compiled from " + Utf8(file) + "\r\n");
    }
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    // Several stand-ins may finish at once; one writer at a time keeps the lines whole.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\TarvexStandInLog");
    WaitForSingleObject(mutex, 10000);
    Append(OwnFolder() + L"\\standins.log", std::string(STANDIN_NAME) + "|" +
                                                Utf8(GetCommandLineW()) + "|" + Utf8(folder) + "|" +
                                                (found ? "1" : "0") + "|" + batchLine + "\r\n");
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

// tarvex_drive: the demo's hands, built on the tests' window driver.
//   tarvex_drive screenshot <Tarvex.exe> <out.png>   show the options window, save a picture,
//                                                     then press Save
//   tarvex_drive verb <verb> <file>                   what Explorer does on a context-menu
//                                                     entry; answers the messages shown
//   tarvex_drive entry <HKCR|HKCU\key> <file>...      the same for the entry of that key (Wine's
//                                                     shell runs no entry on every file of a
//                                                     kind, nor in a submenu), on the files
//                                                     chosen at once: an instance each
#include "Driver.h"
#include "Support.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

void AppendChunk(std::string& png, const char* type, const std::string& data) {
    static std::uint32_t table[256];
    if (table[1] == 0) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            table[n] = c;
        }
    }
    const auto be32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    const std::string body = std::string(type, 4) + data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : body) {
        crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    }
    png += be32(static_cast<std::uint32_t>(data.size())) + body + be32(crc ^ 0xFFFFFFFFu);
}

// The window as it shows on screen, as a PNG file of stored (uncompressed) deflate blocks:
// the picture is small, and the writer stays short.
void SaveScreenshot(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(200);
    int width = 0;
    int height = 0;
    const auto pixels = driver::Capture(window, width, height);
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[y * width + x];
            raw += {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
        }
    }
    std::string zlib = "\x78\x01";
    for (std::size_t at = 0; at < raw.size(); at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        zlib += {static_cast<char>(at + n == raw.size() ? 1 : 0), static_cast<char>(n & 0xFF),
                 static_cast<char>(n >> 8), static_cast<char>(~n & 0xFF),
                 static_cast<char>((~n >> 8) & 0xFF)};
        zlib.append(raw, at, n);
    }
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char c : raw) {
        a = (a + static_cast<unsigned char>(c)) % 65521;
        b = (b + a) % 65521;
    }
    std::string header;
    for (const std::uint32_t v : {(b << 16) | a}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            zlib += static_cast<char>(v >> shift);
        }
    }
    for (const int v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header += static_cast<char>(v >> shift);
        }
    }
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", zlib);
    AppendChunk(png, "IEND", "");
    testing_support::WriteBytes(path, png);
}

int Screenshot(const std::string& exe, const std::string& out) {
    driver::Program tarvex(exe, "");
    HWND window = driver::WaitForWindow(tarvex.Pid(), "frMain", nullptr, 20000);
    if (window == nullptr) {
        std::printf("the options window did not appear\n");
        return 1;
    }
    SaveScreenshot(window, out);
    std::printf("options window \"%s\" shown with %zu controls; picture saved; Save pressed\n",
                driver::TextOf(window).c_str(), driver::ListControls(window).size());
    driver::SendKey(window, VK_RETURN);
    return tarvex.WaitForExit(20000) ? 0 : 1;
}

// Answers every message box of the processes (Yes to a question, else OK) until they end.
int Answer(std::vector<sys::unique_handle> processes) {
    int failed = 0;
    for (std::size_t ended = 0; ended < processes.size();) {
        ended = 0;
        for (const auto& process : processes) {
            const DWORD pid = GetProcessId(process.get());
            if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
                ++ended;
            } else if (const HWND box = driver::FindWindowOf(pid, "#32770", nullptr)) {
                const auto shown = driver::ReadMessageBox(box);
                const bool question = GetDlgItem(box, IDYES) != nullptr;
                std::printf("  message (%s) %s -> %s\n", shown.look.c_str(), shown.text.c_str(),
                            question ? "Yes" : "OK");
                driver::AnswerMessageBox(pid, question ? IDYES : IDOK);
            }
        }
        Sleep(50);
    }
    for (const auto& process : processes) {
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        failed += code != 0;
        std::printf("  Tarvex ended with exit code %lu\n", code);
    }
    return failed == 0 ? 0 : 1;
}

int InvokeVerb(const std::string& verb, const std::string& file) {
    sys::unique_handle process(driver::InvokeVerb(verb, file));
    if (!process) {
        std::printf("  the shell could not run \"%s\" on %s\n", verb.c_str(), file.c_str());
        return 1;
    }
    std::vector<sys::unique_handle> one;
    one.push_back(std::move(process));
    return Answer(std::move(one));
}

// Runs the entry's command as Explorer does: for each file at once, the file in place of %1.
int RunEntry(const std::string& key, const std::vector<std::string>& files) {
    const HKEY root = key.rfind("HKCU\\", 0) == 0 ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
    const std::string command = testing_support::StoredText(root, key.substr(5) + "\\command");
    const auto at = command.find("%1");
    std::vector<sys::unique_handle> started;
    for (const std::string& file : files) {
        if (at == std::string::npos ||
            !started.emplace_back(driver::StartAsExplorer(
                testing_support::Wide(std::string(command).replace(at, 2, file))))) {
            std::printf("  no command to run in %s\n", key.c_str());
            return 1;
        }
    }
    return Answer(std::move(started));
}

} // namespace

int main() {
    // The arguments in UTF-8, as the driver takes them: a file may be named in any script.
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> argv;
    for (int i = 0; i < argc; ++i) {
        argv.push_back(testing_support::Utf8(wide[i]));
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "screenshot" && argc == 4) {
        return Screenshot(argv[2], argv[3]);
    }
    if (command == "verb" && argc == 4) {
        return InvokeVerb(argv[2], argv[3]);
    }
    if (command == "entry" && argc >= 4) {
        return RunEntry(argv[2], {argv.begin() + 3, argv.end()});
    }
    std::fprintf(stderr, "usage: tarvex_drive screenshot <Tarvex.exe> <out.png>\n"
                         "       tarvex_drive verb <verb> <file>\n"
                         "       tarvex_drive entry <HKCR|HKCU\\key> <file>...\n");
    return 2;
}

#include "sys/Handles.h"
#include "sys/SysError.h"
#include "sys/Text.h"
#include "terminal/KindScanner.h"
#include "terminal/Terminal.h"

namespace terminal {

namespace {

class FileSource : public ByteSource {
public:
    FileSource(HANDLE file, const std::wstring& path) : file_(file), path_(path) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        if (!ReadFile(file_, buffer, static_cast<DWORD>(size), &read, nullptr)) {
            const DWORD error = GetLastError();
            throw sys::SysError(L"Could not read the source file", path_, error);
        }
        return read;
    }

private:
    HANDLE file_;
    const std::wstring& path_;
};

} // namespace

const Generation* GenerationOf(const std::wstring& sourcePath) {
    const auto start = sourcePath.size() > 3 ? sourcePath.size() - 3 : 0;
    std::wstring tail;
    for (auto i = start; i < sourcePath.size(); ++i) {
        tail += sys::ToLowerAscii(sourcePath[i]);
    }
    for (const Generation& generation : kGenerations) {
        if (tail == generation.extension + 1) {
            return &generation;
        }
    }
    return nullptr;
}

std::string GetType(std::wstring& path, const Generation& generation) {
    path = sys::RemoveQuotes(path);
    sys::unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError(); // before the message's strings are built
        throw sys::SysError(L"Could not open the source file", path, error);
    }
    FileSource source(file.get(), path);
    return KindText(generation.scan(source, kScanChunk));
}

} // namespace terminal

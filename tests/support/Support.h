// What the Windows-side tests share: throwaway folders, files as bytes, the registry, and a
// stand-in terminal. Paths and texts are UTF-8 here, whatever the system's code pages, so
// that a test can name any file; every step checks what it did and throws when it failed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// The text in that code page (CP_ACP, CP_OEMCP); empty when a character has no form there.
std::string InCodePage(const std::string& utf8, UINT codePage);
// The text as an editor saves it in UTF-16, with its byte-order mark.
std::string Utf16(const std::string& utf8, bool bigEndian = false);

// A new empty folder under the temp folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
void MakeFolder(const std::string& path); // with its parents
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
std::string BuildFolder(); // where the build puts every program

// The registry through raw calls: bytes as the A calls store them, a REG_SZ text given in
// UTF-8, and what a value holds ("<none>" when missing). "" names the default value.
void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& bytes);
void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text,
             DWORD type = REG_SZ);
// A REG_SZ (or unexpanded REG_EXPAND_SZ) value as the Unicode call reads it, in UTF-8; "<none>"
// when missing.
std::string StoredText(HKEY root, const std::string& key, const std::string& name = "");
bool KeyExists(HKEY root, const std::string& key);
// When a value of the key was last written, in the system's 100 ns ticks; 0 when it is missing.
unsigned long long KeyWrittenAt(HKEY root, const std::string& key);
// Every value below the key, a line each, sorted: "subkey path|name=text" ("" for the key
// itself, "(default)" for a default value), REG_DWORD as 0x and eight hex digits; "" when the
// key is missing.
std::string KeyTree(HKEY root, const std::string& key);
void DeleteTree(HKEY root, const std::string& key);

constexpr const char* kSettingsKey = "Software\\MetaQuotes Software\\brenholt";
// Stores the options as Save would; null leaves a value out.
void StoreOptions(const char* op, const char* del, const char* tell);
// The options as stored: op, del and tell, "<none>" for each that is missing.
inline std::string StoredOptions() {
    return StoredText(HKEY_CURRENT_USER, kSettingsKey, "op") +
           StoredText(HKEY_CURRENT_USER, kSettingsKey, "del") +
           StoredText(HKEY_CURRENT_USER, kSettingsKey, "tell");
}

constexpr const char* kTerminalKey = "Software\\MetaQuotes Software\\MetaTrader 4";
inline void ForgetTerminal() {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kTerminalKey, "InstallPath");
}

// One line of the stand-ins' record (see standins/StandIn.cpp).
struct ToolRun {
    std::string program, commandLine, folder; // "metalang" or "MetaEditor", as it got them
    bool fileFound = false;                   // its last argument names an existing file
    std::string batchLine;                    // line 2 of its batch file, as cmd read it
};

// How a terminal is laid out, as flags: "metalang none" before build 600 (metalang, kind folders
// of its own, no data folder); else "metaeditor.exe" ("broken": no program), with "metalang"
// when updated in place; "mt5": a MetaTrader 5 with "metaeditor64.exe", or "metaeditor.exe" when
// "32"-bit. Its data folder's origin.txt names it in "utf16" or "ansi", in "upper" case, with a
// trailing "slash"; "bare": no kind folders; "profile": in a profile named in Chinese and
// Cyrillic; "portable": in its own folder; "none": no data folder. "gone": the terminal's folder
// removed again, its InstallPath left behind.
struct Layout {
    const char* origin = "utf16";
    int usedDaysAgo = -1; // the age of its newest daily log; -1: no logs
};

// A MetaTrader 4 folder of that name in a new temp folder, with the stand-in tools, laid out
// as before build 600 unless told otherwise, and its InstallPath registered.
class StandInTerminal {
public:
    explicit StandInTerminal(const std::string& folderName = "MetaTrader 4",
                             const Layout& layout = {"metalang none"});
    ~StandInTerminal();
    const std::string& Path() const { return path_; }
    const std::string& Data() const { return data_; } // its data folder; "" when it has none
    bool Portable() const { return data_ == path_; }
    bool Legacy() const { return legacy_; }                // laid out as before build 600
    const std::string& Editor() const { return editor_; }  // its editor's file name
    std::string KindFolder(const std::string& kind) const; // by the kind's text
    void Register() const;
    // What the tools recorded, once there are at least count runs or 20 s have passed.
    std::vector<ToolRun> Runs(std::size_t count = 0) const;

private:
    TempFolder root_;
    std::string path_;
    std::string data_;
    bool legacy_ = true;
    std::string programs_ = "MQL4"; // the data folder's folder of programs
    std::string editor_ = "metaeditor.exe";
    std::string appData_; // as it was before "profile" moved it
};

} // namespace testing_support

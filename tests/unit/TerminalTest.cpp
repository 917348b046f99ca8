// What the program knows of MetaTrader 4, against Wine's registry and files: the kind of a
// source and the registered terminal's folders.
#include "Support.h"
#include "sys/SysError.h"
#include "terminal/KindScanner.h"
#include "terminal/Terminal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using testing_support::TempFolder;

using testing_support::Utf16;
using testing_support::Wide;

// MQL4: the last field with a marker decides. MQL5: the compiler's order, in code only:
// OnCalculate, then the library, then OnStart. (One source of each kind: the install road's.
// What the rules leave open, bytes of every kind, split anywhere: the fuzzer and its models.)
TEST(GetType, ByTheRuleOfTheSourcesGeneration) {
    const std::string filler(terminal::kScanChunk - 10, 'x'); // a marker across two reads
    const struct {
        std::string text;
        const char* kind;
        bool mql5 = false;
    } cases[] = {
        {"", "Expert Advisor"},
        {"// draws in indicator_separate_window", "Indicator"},
        {"#PROPERTY LIBRARY\r\n", "Library"},
        {"#property show_inputs\r\nint x;\r\n// see indicator_chart_window\r\n", "Indicator"},
        {"#property library // indicator_chart_window\r\n", "Library"},
        {"indicator_chart_window #property library #property show\n", "Script"},
        {"#property library, indicator_chart_window\r\n", "Indicator"},
        {"#property  library\r\n", "Expert Advisor"},
        {"#property\tshow_inputs\r\n", "Expert Advisor"},
        {"string s = \"#property library\";\n", "Library"},
        {"#property library\n \"a, indicator_chart_window, b\"\n", "Indicator"},
        {filler + "#property library\r\n", "Library"},
        // Sources saved as Unicode are read as the text they encode, by the same rules.
        {Utf16("#property indicator_chart_window\r\n"), "Indicator"},
        {Utf16("int x;\n#PROPERTY LIBRARY", true), "Library"},
        {Utf16(u8"#property ｓhow_inputs // Привет"), "Expert Advisor"}, // other letters
        {Utf16(filler + "\n#property library"), "Library"},
        {u8"\xEF\xBB\xBF// Grüße\n#property show_confirm", "Script"},
        // MQL5: the first handler in the compiler's order decides, whatever else is there.
        {"#property library\nvoid OnStart() {}\nint OnCalculate(const int n) { return n; }",
         "Indicator", true},
        {"#property library\r\nvoid OnStart() {}\r\n", "Library", true},
        {"#property service\nvoid OnStart() {}", "Service", true},
        {"#define RUN OnStart\nvoid RUN() {}", "Script", true},
        {"void OnTick() {}", "Expert Advisor", true},
        // A name in a comment or a literal, or within a longer name, is none.
        {"// OnCalculate\n/* int OnStart()\n*/ void OnTick() {}", "Expert Advisor", true},
        {"string s = \"OnCalculate \\\" OnStart\";", "Expert Advisor", true},
        {"ushort q = '\\'', w = 'OnStart';", "Expert Advisor", true},
        {"string s = \"unclosed\nvoid OnStart() {}", "Script", true},
        {"int OnCalculateEx; void MyOnStart() {}", "Expert Advisor", true},
        // A directive stands first on its line, its name after blanks of any number and kind.
        {"#property service\nvoid OnTick() {}", "Expert Advisor", true},
        {"/* x */#property library\nvoid OnStart() {}", "Script", true},
        {"#property\tlibrary", "Library", true},
        {" \t #property" + std::string(terminal::kScanChunk, '\t') + "service\nvoid OnStart();",
         "Service", true}, // blanks across two reads
        {"#PROPERTY library\nvoid OnStart() {}", "Script", true},
        // Any encoding, UTF-16 LE without its mark too; a name across two reads.
        {Utf16(u8"#property service\r\n// Привет\r\nvoid OnStart() {}"), "Service", true},
        {Utf16("int OnCalculate();").substr(2), "Indicator", true},
        {u8"\xEF\xBB\xBF// Grüße\n#property library", "Library", true},
        {filler + "int OnCalculate();", "Indicator", true},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        std::wstring path = testing_support::Wide(dir / "source.mq4");
        testing_support::WriteBytes(dir / "source.mq4", c.text);
        EXPECT_EQ(terminal::GetType(path, terminal::kGenerations[c.mql5]), c.kind)
            << c.text.substr(0, 80);
    }
    // The caller's path loses its quotes. (File errors: the install road's failures.)
    std::wstring quoted = testing_support::Wide("\"" + (dir / "source.mq4") + "\"");
    terminal::GetType(quoted, terminal::kMetaTrader4);
    EXPECT_EQ(testing_support::Utf8(quoted), dir / "source.mq4");
}

// (Which terminal that is, and what is said when there is none: the install road's.)
TEST(TerminalFolders, FollowTheStoredInstallPathOfAStringValueOnly) {
    const struct {
        DWORD type; // 0: no value at all
        std::string stored;
        std::string terminal; // as read; "NA": none
    } cases[] = {
        {REG_SZ, std::string("C:\\MT4\\\0", 8), "C:\\MT4\\"}, // used as stored
        {REG_SZ, "C:\\no NUL at the end", "C:\\no NUL at the end"},
        {REG_SZ, std::string("C:\\MT\0after", 11), "C:\\MT"},
        {REG_SZ, std::string("NA\0", 3), "NA"},
        {REG_SZ, std::string("\0", 1), ""},
        {REG_SZ, std::string(40000, 'x') + '\0', std::string(40000, 'x')},
        {REG_EXPAND_SZ, std::string("C:\\MT4\0", 7), "NA"},
        {REG_DWORD, std::string("\1\0\0\0", 4), "NA"},
        {0, "", "NA"},
    };
    for (const auto& c : cases) {
        testing_support::ForgetTerminal();
        if (c.type != 0) {
            testing_support::SetValue(HKEY_CURRENT_USER, testing_support::kTerminalKey,
                                      "InstallPath", c.type, c.stored);
        }
        EXPECT_EQ(testing_support::Utf8(terminal::GetMT4Path()), c.terminal);
    }
    testing_support::ForgetTerminal();
}

TEST(IsSameFolder, ComparesTheFoldersAsTheFileSystemResolvesThem) {
    TempFolder dir;
    for (const char* folder : {"\\a\\experts", "\\b\\experts", "\\A Long Folder Name"}) {
        testing_support::MakeFolder(dir.Path() + folder);
    }
    std::string upper = dir.Path();
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(toupper(c)); });
    char shortName[MAX_PATH] = "";
    GetShortPathNameA((dir / "A Long Folder Name").c_str(), shortName, MAX_PATH);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(dir.Path().c_str());
    const std::string d = dir.Path();
    const struct {
        std::string path1;
        std::string path2;
        bool same;
    } cases[] = {
        {d + "\\a\\experts\\x.mq4", d + "\\a\\experts\\y.mq4", true},
        {d + "\\a\\experts\\x.mq4", d + "\\b\\experts\\x.mq4", false}, // two of one name
        {d + "\\a\\experts\\x.mq4", upper + "\\A\\EXPERTS\\x.mq4", true},
        {d + "\\a\\experts\\x.mq4", d + "\\b\\..\\a\\.\\experts\\x.mq4", true},
        {"\"" + d + "\\a\\experts\\x.mq4\"", d + "\\a\\\"experts\\x.mq4", true},
        {std::string(shortName) + "\\x.mq4", d + "\\A Long Folder Name\\y.mq4", true},
        {d + "\\gone\\x.mq4", upper + "\\GONE\\y.mq4", true}, // both missing, one path
        {d + "\\gone\\x.mq4", d + "\\away\\x.mq4", false},
        {"C:\\x.mq4", "c:\\windows\\..\\y.mq4", true}, // a drive's root
        {"x.mq4", d + "\\y.mq4", true},                // relative to the working folder
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::IsSameFolder(Wide(c.path1), Wide(c.path2)), c.same)
            << c.path1 << " | " << c.path2;
        EXPECT_EQ(terminal::IsSameFolder(Wide(c.path2), Wide(c.path1)), c.same)
            << c.path2 << " | " << c.path1;
    }
    SetCurrentDirectoryA(previous);
}

// An editor that cannot be started for opening says why, as for the compile (the road's).
TEST(OpenMetaEditor, SaysWhyTheEditorDidNotStart) {
    TempFolder dir;
    testing_support::WriteBytes(dir / "metaeditor.exe", "no program");
    const std::wstring folder = Wide(dir.Path());
    const auto launch =
        terminal::OpenMetaEditor({folder, terminal::Layout::Current, folder,
                                  &terminal::kMetaTrader4, folder + L"\\metaeditor.exe", L"T"},
                                 L"a");
    EXPECT_EQ(launch.Started() ? L"started" : launch.Failure(),
              L"The terminal's editor could not be started:\r\n" + folder +
                  L"\\metaeditor.exe\r\n\r\n" + sys::SystemMessage(ERROR_BAD_EXE_FORMAT));
}

} // namespace

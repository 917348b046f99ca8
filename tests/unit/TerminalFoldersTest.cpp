#include "StandInTerminal.h"
#include "terminal/Terminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

using testing_support::kTerminalKey;
using testing_support::MakeFolder;
using testing_support::SetValue;
using testing_support::TempFolder;

class TerminalFolders : public ::testing::Test {
protected:
    void TearDown() override { testing_support::ForgetTerminal(); }
};

TEST_F(TerminalFolders, FollowTheStoredInstallPath) {
    const struct {
        const char* name;
        DWORD type; // 0: no value at all
        std::string stored;
        const char* terminal;
        const char* experts;
        const char* indicators;
    } cases[] = {
        {"plain", REG_SZ, "C:\\Program Files\\MetaTrader 4", "C:\\Program Files\\MetaTrader 4",
         "C:\\Program Files\\MetaTrader 4\\experts",
         "C:\\Program Files\\MetaTrader 4\\experts\\indicators"},
        {"trailing backslash", REG_SZ, "C:\\MT4\\", "C:\\MT4\\", "C:\\MT4\\\\experts",
         "C:\\MT4\\\\experts\\indicators"},
        {"sentinel", REG_SZ, "NA", "NA", "NA", "NA"},
        {"lower-case na is a folder", REG_SZ, "na", "na", "na\\experts", "na\\experts\\indicators"},
        {"empty", REG_SZ, "", "", "\\experts", "\\experts\\indicators"},
        {"expandable", REG_EXPAND_SZ, "C:\\MT4", "NA", "NA", "NA"},
        {"missing", 0, "", "NA", "NA", "NA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ForgetTerminal();
        if (c.type != 0) {
            SetValue(HKEY_CURRENT_USER, kTerminalKey, "InstallPath", c.type, c.stored + '\0');
        }
        EXPECT_EQ(terminal::GetMT4Path(), c.terminal);
        EXPECT_EQ(terminal::GetExpertsPath(), c.experts);
        EXPECT_EQ(terminal::GetIndicatorsPath(), c.indicators);
        const std::string base = c.experts;
        const bool none = base == "NA";
        EXPECT_EQ(terminal::GetScriptsPath(), none ? "NA" : base + "\\scripts");
        EXPECT_EQ(terminal::GetLibrariesPath(), none ? "NA" : base + "\\libraries");
    }
}

TEST(IsSameFolder, ComparesTheFoldersAsTheFileSystemResolvesThem) {
    TempFolder dir;
    for (const char* folder : {"\\a\\experts", "\\b\\experts", "\\mt\\experts\\indicators",
                               "\\mt\\experts\\scripts", "\\A Long Folder Name"}) {
        MakeFolder(dir.Path() + folder);
    }
    std::string upper = dir.Path();
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(std::toupper(c)); });
    char shortName[MAX_PATH] = "";
    GetShortPathNameA((dir / "A Long Folder Name").c_str(), shortName, MAX_PATH);

    const std::string d = dir.Path();
    const struct {
        const char* name;
        std::string path1;
        std::string path2;
        bool same;
    } cases[] = {
        {"one folder", d + "\\a\\experts\\x.mq4", d + "\\a\\experts\\y.mq4", true},
        {"two folders of one name", d + "\\a\\experts\\x.mq4", d + "\\b\\experts\\x.mq4", false},
        {"sibling kind folders", d + "\\mt\\experts\\indicators\\x.mq4",
         d + "\\mt\\experts\\scripts\\x.mq4", false},
        {"letter case", d + "\\a\\experts\\x.mq4", upper + "\\A\\EXPERTS\\x.mq4", true},
        {"dot and dot-dot", d + "\\a\\experts\\x.mq4", d + "\\b\\..\\a\\.\\experts\\x.mq4", true},
        {"quotes", "\"" + d + "\\a\\experts\\x.mq4\"", d + "\\a\\\"experts\\x.mq4", true},
        {"short name", std::string(shortName) + "\\x.mq4", d + "\\A Long Folder Name\\y.mq4", true},
        {"both missing, one path", d + "\\gone\\x.mq4", upper + "\\GONE\\y.mq4", true},
        {"both missing, two paths", d + "\\gone\\x.mq4", d + "\\away\\x.mq4", false},
        {"one missing", d + "\\a\\experts\\x.mq4", d + "\\c\\experts\\x.mq4", false},
        {"the sentinel folder", "NA\\x.mq4", d + "\\a\\experts\\x.mq4", false},
        {"a drive's root", "C:\\x.mq4", "c:\\windows\\..\\y.mq4", true},
        {"a drive's root and a folder on it", "C:\\x.mq4", "C:\\windows\\y.mq4", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(terminal::IsSameFolder(c.path1, c.path2), c.same) << c.name;
        EXPECT_EQ(terminal::IsSameFolder(c.path2, c.path1), c.same) << c.name << " (swapped)";
    }
}

TEST(IsSameFolder, RelativePathsAreTakenFromTheWorkingFolder) {
    TempFolder dir;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(dir.Path().c_str());
    EXPECT_TRUE(terminal::IsSameFolder("x.mq4", dir / "y.mq4"));
    EXPECT_FALSE(terminal::IsSameFolder("x.mq4", "C:\\windows\\y.mq4"));
    SetCurrentDirectoryA(previous);
}

} // namespace

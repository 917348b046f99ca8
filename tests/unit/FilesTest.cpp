#include "TestSupport.h"
#include "sys/Main.h"
#include "sys/Shell.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ReadBytes;
using testing_support::TempFolder;
using testing_support::WriteBytes;

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(dir / "normal.mq4", "n");
        WriteBytes(dir / "readonly.mq4", "r");
        SetFileAttributesA((dir / "readonly.mq4").c_str(), FILE_ATTRIBUTE_READONLY);
        WriteBytes(dir / "hidden.mq4", "h");
        SetFileAttributesA((dir / "hidden.mq4").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteBytes(dir / "lower.mq4", "l");
        CreateDirectoryA((dir / "folder.mq4").c_str(), nullptr);
    }
    TempFolder dir;
};

TEST_F(Files, FileExistsAndGetFileNameSeeNormalFilesOnly) {
    const struct {
        std::string path;
        const char* name; // what GetFileName gives; empty: FileExists is false
    } cases[] = {
        {dir / "normal.mq4", "normal.mq4"},
        {dir / "readonly.mq4", "readonly.mq4"},
        {dir / "LOWER.MQ4", "lower.mq4"}, // the name as the file system stores it
        {dir / "hidden.mq4", ""},
        {dir / "folder.mq4", ""},
        {dir / "missing.mq4", ""},
        {dir / "n*.mq4", "normal.mq4"},
        {dir / "f*.mq4", ""}, // only a folder matches
        {"", ""},
        {"C:\\no\\such\\folder\\x.mq4", ""},
        {"bad<>|path", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Main::GetFileName(c.path), c.name) << c.path;
        EXPECT_EQ(Main::FileExists(c.path), *c.name != '\0') << c.path;
    }
}

TEST(GetParentFolder, IsTheTextBeforeTheLastBackslashWithoutQuotes) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {R"(C:\a\b.mq4)", R"(C:\a)"},
        {R"("C:\a\b.mq4")", R"(C:\a)"},
        {R"(C:\b.mq4)", "C:"},
        {"b.mq4", ""},
        {R"(\b.mq4)", ""},
        {R"(C:\a"\b"\c.mq4)", R"(C:\a\b)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Main::GetParentFolder(c.path), c.folder) << c.path;
    }
}

TEST_F(Files, CopyOneFileReplacesOnlyWhenAllowed) {
    WriteBytes(dir / "target.mq4", "old");
    EXPECT_FALSE(Main::CopyOneFile(dir / "normal.mq4", dir / "target.mq4", true));
    EXPECT_EQ(ReadBytes(dir / "target.mq4"), "old");
    EXPECT_TRUE(Main::CopyOneFile(dir / "normal.mq4", dir / "target.mq4", false));
    EXPECT_EQ(ReadBytes(dir / "target.mq4"), "n");
    EXPECT_FALSE(Main::CopyOneFile(dir / "missing.mq4", dir / "other.mq4", false));
    EXPECT_FALSE(testing_support::PathExists(dir / "other.mq4"));
    EXPECT_FALSE(Main::CopyOneFile(dir / "normal.mq4", dir / "no\\such\\x.mq4", false));
}

TEST_F(Files, WriteTextFileLeavesExactlyTheTextAndOneLineEnd) {
    WriteBytes(dir / "out.bat", std::string(500, 'z'));
    Main::WriteTextFile(dir / "out.bat", "cd x\r\nrun \xE9");
    EXPECT_EQ(ReadBytes(dir / "out.bat"), "cd x\r\nrun \xE9\r\n");
    EXPECT_THROW(Main::WriteTextFile(dir / "no\\such\\out.bat", "x"), std::exception);
}

TEST_F(Files, DeleteOneFileReportsWhatItCouldNotDelete) {
    Main::DeleteOneFile(dir / "normal.mq4");
    EXPECT_FALSE(testing_support::PathExists(dir / "normal.mq4"));
    EXPECT_THROW(Main::DeleteOneFile(dir / "normal.mq4"), std::exception);
    EXPECT_THROW(Main::DeleteOneFile(dir / "readonly.mq4"), std::exception);
    EXPECT_TRUE(testing_support::PathExists(dir / "readonly.mq4"));
}

TEST_F(Files, ShellRunStartsAnExistingBatchFileOnly) {
    Main::WriteTextFile(dir / "hello.bat", "echo ran> ran.txt");
    sys::unique_handle process;
    ASSERT_TRUE(Shell::ShellRun("hello.bat", "Open", nullptr, dir.Path(), SW_HIDE, &process));
    ASSERT_TRUE(process);
    EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadBytes(dir / "ran.txt"), "ran\r\n");
    EXPECT_FALSE(Shell::ShellRun("missing.bat", "Open", nullptr, dir.Path(), SW_HIDE));
}

} // namespace

// The file utilities against Wine's file system. (GetParentFolder: through IsSameFolder.)
#include "Support.h"
#include "sys/Main.h"

#include <gtest/gtest.h>

namespace {

TEST(Files, FileExistsAndGetFileNameSeeNormalFilesAsTheFileSystemNamesThem) {
    testing_support::TempFolder dir;
    for (const char* name : {"normal.mq4", "readonly.mq4", "hidden.mq4", "lower.mq4"}) {
        testing_support::WriteBytes(dir / name, name);
    }
    SetFileAttributesA((dir / "readonly.mq4").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((dir / "hidden.mq4").c_str(), FILE_ATTRIBUTE_HIDDEN);
    testing_support::MakeFolder(dir / "folder.mq4");
    const std::pair<std::string, const char*> cases[] = {
        // What GetFileName gives; empty: FileExists is false.
        {dir / "normal.mq4", "normal.mq4"},
        {dir / "readonly.mq4", "readonly.mq4"},
        {dir / "LOWER.MQ4", "lower.mq4"},
        {dir / "hidden.mq4", ""},
        {dir / "folder.mq4", ""},
        {dir / "missing.mq4", ""},
        {dir / "n*.mq4", "normal.mq4"},
        {dir / "f*.mq4", ""},
        {"", ""},
        {"bad<>|path", ""},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(Main::GetFileName(path), name) << path;
        EXPECT_EQ(Main::FileExists(path), *name != '\0') << path;
    }
    SetFileAttributesA((dir / "readonly.mq4").c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace

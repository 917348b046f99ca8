// The verb's registration when HKEY_CLASSES_ROOT refuses it, through the roots it is given:
// Wine has no registry permissions to refuse a write.
#include "TestSupport.h"
#include "settings/ContextMenu.h"

#include <gtest/gtest.h>

namespace {

using testing_support::KeyExists;

const std::string kTests = "Software\\TarvexTests\\";
const settings::ClassesRoot kMachine{HKEY_CURRENT_USER, kTests + "Machine\\"};
const settings::ClassesRoot kUser{HKEY_CURRENT_USER, kTests + "User\\"};
// A root that refuses every write, as HKEY_CLASSES_ROOT does for a standard account when the
// class was registered for the machine.
const settings::ClassesRoot kRefusing{reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0xDEAD0)), ""};

class ContextMenu : public ::testing::Test {
protected:
    void TearDown() override {
        testing_support::DeleteTree(HKEY_CURRENT_USER, "Software\\TarvexTests");
    }

    static std::string CommandAt(const settings::ClassesRoot& at) {
        std::string data;
        return testing_support::QueryValue(
                   at.root, at.path + "MQLEditor4.File\\shell\\Compile\\command", "", data)
                   ? data
                   : "<none>";
    }
};

TEST_F(ContextMenu, WritesTheUsersClassesOnlyWhenTheFirstRootRefuses) {
    const std::string command =
        "\"" + testing_support::BuildFolder() + "\\tarvex_unit.exe\" \"%1\"" + '\0';
    settings::SetKeys(kMachine, kUser);
    EXPECT_EQ(CommandAt(kMachine), command);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTests + "User"));

    settings::SetKeys(kRefusing, kUser);
    EXPECT_EQ(CommandAt(kUser), command);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kTests + "User\\MQLEditor4.File\\shell\\Compile"));
}

TEST_F(ContextMenu, DeleteKeysRemovesTheVerbFromBothAndNothingElse) {
    for (const auto& at : {kMachine, kUser}) {
        testing_support::SetText(at.root, at.path + "MQLEditor4.File\\shell\\Compile\\command", "",
                                 "x");
        testing_support::SetText(at.root, at.path + "MQLEditor4.File\\shell\\Open\\command", "",
                                 "y");
    }
    settings::DeleteKeys(kRefusing, kUser); // a refusal on one side does not stop the other
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTests + "User\\MQLEditor4.File\\shell\\Compile"));
    settings::DeleteKeys(kMachine, kUser);
    for (const auto& at : {kMachine, kUser}) {
        EXPECT_FALSE(KeyExists(at.root, at.path + "MQLEditor4.File\\shell\\Compile")) << at.path;
        EXPECT_TRUE(KeyExists(at.root, at.path + "MQLEditor4.File\\shell\\Open\\command"))
            << at.path;
    }
}

} // namespace

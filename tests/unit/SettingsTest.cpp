// The options' store behind the window's controls, and the verb's registration when
// HKEY_CLASSES_ROOT refuses it.
#include "Support.h"
#include "app/Menus.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using testing_support::KeyExists;
using testing_support::kSettingsKey;
using testing_support::StoredText;

// The controls' state as the texts that stand for it: op, del, tell.
std::string Shown(const settings::OptionsWindow& options) {
    return std::string(options.IsChecked(settings::idOption2) ? "2" : "1") +
           (options.IsChecked(settings::idDelete) ? "1" : "0") +
           (options.IsChecked(settings::idTell) ? "1" : "0");
}

TEST(SettingsStore, SavesTheControlsAndLoadsOnlyTheExactTextsWithoutMakingTheKey) {
    const HWND window = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
    const auto load = [window] {
        auto options = std::make_unique<settings::OptionsWindow>();
        options->Create(window, GetModuleHandleW(nullptr));
        settings::LoadSettings(*options);
        return options;
    };
    for (const char* state : {"101", "210", "201", "110"}) {
        testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        auto options = load();
        options->Select(state[0] == '2' ? settings::idOption2 : settings::idOption1);
        options->SetCheck(settings::idDelete, state[1] == '1');
        options->SetCheck(settings::idTell, state[2] == '1');
        settings::SaveSettings(*options);
        EXPECT_EQ(testing_support::StoredOptions(), state);
        EXPECT_EQ(Shown(*load()), state);
    }
    const std::array<const char*, 4> stored[] = {{"3", "2", "x", "101"},
                                                 {" 1", "01", "1 ", "101"},
                                                 {"two", "yes", "no", "101"},
                                                 {"", "", "", "101"},
                                                 {"2", nullptr, "0", "200"}};
    for (const auto& [op, del, tell, shown] : stored) {
        testing_support::StoreOptions(op, del, tell);
        EXPECT_EQ(Shown(*load()), shown) << op << '|' << tell;
    }
    testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    EXPECT_EQ(Shown(*load()), "101");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    DestroyWindow(window);
}

TEST(ContextMenu, TheUsersClassesGetTheVerbsOnlyWhenTheFirstRootRefuses) {
    const std::string tests = "Software\\TarvexTests\\";
    // No class owns .mq4 under these roots: the entry on every .mq4 file comes with the verb. The
    // one on every .mq5 file always does.
    const std::string verbs[] = {"MQLEditor4.File\\shell\\Compile",
                                 "SystemFileAssociations\\.mq4\\shell\\Compile",
                                 "SystemFileAssociations\\.mq5\\shell\\Compile"};
    const std::string machinePath = tests + "Machine\\", userPath = tests + "User\\";
    const settings::ClassesRoot machine{HKEY_CURRENT_USER, testing_support::Wide(machinePath)};
    const settings::ClassesRoot user{HKEY_CURRENT_USER, testing_support::Wide(userPath)};
    // As HKEY_CLASSES_ROOT refuses a standard account a class registered for the whole machine.
    const settings::ClassesRoot refusing{reinterpret_cast<HKEY>(ULONG_PTR{0xDEAD0}), L""};
    const std::string command =
        "\"" + testing_support::BuildFolder() + "\\tarvex_unit.exe\" \"%1\"";
    settings::SetKeys(app::Menus(), machine, user);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userPath));
    settings::SetKeys(app::Menus(), refusing, user);
    for (const std::string& path : {machinePath, userPath}) {
        for (const std::string& verb : verbs) {
            EXPECT_EQ(StoredText(HKEY_CURRENT_USER, path + verb + "\\command"), command);
            EXPECT_EQ(StoredText(HKEY_CURRENT_USER, path + verb, "MultiSelectModel"), "Player");
        }
    }

    // The refusal does not stop the other removals.
    settings::DeleteKeys(app::Menus(), refusing, user);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userPath + "SystemFileAssociations"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userPath + verbs[0]));
    testing_support::DeleteTree(HKEY_CURRENT_USER, "Software\\TarvexTests");
}

} // namespace

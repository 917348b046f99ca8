// The options' store behind the window's controls, and the verb's registration when
// HKEY_CLASSES_ROOT refuses it.
#include "Support.h"
#include "settings/ContextMenu.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using testing_support::KeyExists;

const std::string kTests = "Software\\TarvexTests\\";
const std::string kVerb = "MQLEditor4.File\\shell\\Compile";
const settings::ClassesRoot kMachine{HKEY_CURRENT_USER, kTests + "Machine\\"};
const settings::ClassesRoot kUser{HKEY_CURRENT_USER, kTests + "User\\"};
// A root that refuses every write, as HKEY_CLASSES_ROOT does for a standard account when the
// class was registered for the whole machine.
const settings::ClassesRoot kRefusing{reinterpret_cast<HKEY>(ULONG_PTR{0xDEAD0}), ""};

constexpr const char* kOptions = "Software\\MetaQuotes Software\\brenholt";

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
        testing_support::DeleteTree(HKEY_CURRENT_USER, kOptions);
        auto options = load();
        options->Select(state[0] == '2' ? settings::idOption2 : settings::idOption1);
        options->SetCheck(settings::idDelete, state[1] == '1');
        options->SetCheck(settings::idTell, state[2] == '1');
        settings::SaveSettings(*options);
        EXPECT_EQ(testing_support::StoredBytes(HKEY_CURRENT_USER, kOptions, "op") +
                      testing_support::StoredBytes(HKEY_CURRENT_USER, kOptions, "del") +
                      testing_support::StoredBytes(HKEY_CURRENT_USER, kOptions, "tell"),
                  (std::string{state[0], 0, state[1], 0, state[2], 0}));
        EXPECT_EQ(Shown(*load()), state);
    }
    const std::array<const char*, 4> odd[] = {{"3", "2", "x", "101"},
                                              {" 1", "01", "1 ", "101"},
                                              {"two", "yes", "no", "101"},
                                              {"", "", "", "101"},
                                              {"2", nullptr, "0", "200"}};
    for (const auto& [op, del, tell, shown] : odd) {
        testing_support::DeleteTree(HKEY_CURRENT_USER, kOptions);
        for (const auto& [name, text] : {std::pair{"op", op}, {"del", del}, {"tell", tell}}) {
            if (text != nullptr) {
                testing_support::SetText(HKEY_CURRENT_USER, kOptions, name, text);
            }
        }
        EXPECT_EQ(Shown(*load()), shown) << op << '|' << tell;
    }
    testing_support::DeleteTree(HKEY_CURRENT_USER, kOptions);
    EXPECT_EQ(Shown(*load()), "101");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kOptions));
    DestroyWindow(window);
}

TEST(ContextMenu, TheUsersClassesGetTheVerbOnlyWhenTheFirstRootRefuses) {
    const std::string command =
        "\"" + testing_support::BuildFolder() + "\\tarvex_unit.exe\" \"%1\"" + '\0';
    settings::SetKeys(kMachine, kUser);
    EXPECT_EQ(testing_support::StoredBytes(HKEY_CURRENT_USER, kMachine.path + kVerb + "\\command"),
              command);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUser.path));
    settings::SetKeys(kRefusing, kUser);
    EXPECT_EQ(testing_support::StoredBytes(HKEY_CURRENT_USER, kUser.path + kVerb + "\\command"),
              command);

    settings::DeleteKeys(kRefusing, kUser); // the refusal does not stop the other removal
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUser.path + kVerb));
    testing_support::DeleteTree(HKEY_CURRENT_USER, "Software\\TarvexTests");
}

} // namespace

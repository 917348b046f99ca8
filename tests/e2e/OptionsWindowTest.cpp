// The options window, started without an argument, seen and used from outside: its layout
// against the program's own table, its keyboard, and the options it stores.
#include "Road.h"
#include "settings/OptionsLayout.h"
#include "sys/Handles.h"

#include <array>
#include <map>

namespace {

using settings::ControlId;
using settings::ControlKind;
using testing_support::KeyExists;
using testing_support::QueryValue;

constexpr const char* kVerbKey = "MQLEditor4.File\\shell\\Compile";

class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override { testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey); }
    void TearDown() override { testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey); }

    void Open() {
        tarvex = std::make_unique<driver::Program>(e2e::TarvexExe(), "");
        window = driver::WaitForWindow(tarvex->Pid(), "frMain", nullptr, e2e::kTimeoutMs);
        ASSERT_NE(window, nullptr);
        controls.clear();
        for (const auto& control : driver::ListControls(window)) {
            controls[control.id] = control;
        }
        ASSERT_EQ(controls.size(), settings::kControls.size());
    }
    HWND Control(ControlId id) { return controls.at(id).handle; }
    bool Checked(ControlId id) {
        return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void Click(ControlId id) { driver::PressButton(Control(id)); }
    void ExpectEnded() {
        DWORD code = 99;
        EXPECT_TRUE(tarvex->WaitForExit(e2e::kTimeoutMs, &code));
        EXPECT_EQ(code, 0u);
    }
    static std::string Stored(const char* name) {
        std::string data;
        return QueryValue(HKEY_CURRENT_USER, e2e::kSettingsKey, name, data) ? data : "<none>";
    }
    // The shown state, as the stored texts that stand for it.
    std::array<std::string, 3> Shown() {
        EXPECT_NE(Checked(settings::idOption1), Checked(settings::idOption2));
        return {Checked(settings::idOption2) ? "2" : "1", Checked(settings::idDelete) ? "1" : "0",
                Checked(settings::idTell) ? "1" : "0"};
    }

    std::unique_ptr<driver::Program> tarvex;
    HWND window = nullptr;
    std::map<int, driver::ControlInfo> controls;
};

TEST_F(OptionsWindow, IsLaidOutAsItsTableSaysAtTheScreensDpi) {
    // 15 twips to the pixel at 96 dots per inch; halves round up.
    EXPECT_EQ(settings::TwipsToPixels(3975, 96), 265);
    EXPECT_EQ(settings::TwipsToPixels(278, 96), 19);
    EXPECT_EQ(settings::TwipsToPixels(1440, 120), 120);

    Open();
    const int dpi = GetDeviceCaps(sys::unique_window_dc(nullptr).get(), LOGPIXELSY);
    const auto px = [dpi](int twips) { return settings::TwipsToPixels(twips, dpi); };
    EXPECT_EQ(driver::TextOf(window), "Tarvex - Brenholt");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(GetMenu(window), nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, px(settings::kClientWidthTwips), 1);
    EXPECT_NEAR(client.bottom, px(settings::kClientHeightTwips), 1);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // What each kind of control is to the window system.
    const std::map<ControlKind, std::pair<const char*, DWORD>> kinds = {
        {ControlKind::Frame, {"Button", BS_GROUPBOX}},
        {ControlKind::OptionButton, {"Button", BS_AUTORADIOBUTTON}},
        {ControlKind::CheckBox, {"Button", BS_AUTOCHECKBOX}},
        {ControlKind::CommandButton, {"Button", BS_PUSHBUTTON}},
        {ControlKind::Line, {"Static", SS_ETCHEDFRAME}},
        {ControlKind::Label, {"Static", SS_LEFT}}};
    // With no stored options: the first option, no deleting, telling.
    const std::map<int, LRESULT> checks = {{settings::idOption1, BST_CHECKED},
                                           {settings::idTell, BST_CHECKED}};
    for (const auto& spec : settings::kControls) {
        SCOPED_TRACE(spec.name);
        const driver::ControlInfo& c = controls.at(spec.id);
        const auto [className, type] = kinds.at(spec.kind);
        EXPECT_EQ(c.className, className);
        const DWORD expectedType = spec.id == settings::idOk ? BS_DEFPUSHBUTTON : type;
        EXPECT_EQ(c.style & (c.className == "Static" ? SS_TYPEMASK : BS_TYPEMASK), expectedType);
        EXPECT_EQ(c.caption, testing_support::Utf8(spec.caption)); // U+00A9 on every code page
        EXPECT_EQ(c.parent, spec.container == 0 ? window : Control(ControlId(spec.container)));
        EXPECT_NEAR(c.rect.left, px(spec.left), 1);
        EXPECT_NEAR(c.rect.top, px(spec.top), 1);
        EXPECT_NEAR(c.rect.right - c.rect.left, px(spec.width), 1);
        EXPECT_NEAR(c.rect.bottom - c.rect.top, px(spec.height), 1);
        EXPECT_TRUE(c.visible);
        EXPECT_EQ(c.check, checks.count(spec.id) ? checks.at(spec.id) : BST_UNCHECKED);
    }
    // One group of option buttons: it starts at the first and ends after the second.
    EXPECT_EQ(GetWindow(Control(settings::idOption1), GW_HWNDNEXT), Control(settings::idOption2));
    EXPECT_TRUE(controls.at(settings::idOption1).style & WS_GROUP);
    EXPECT_FALSE(controls.at(settings::idOption2).style & WS_GROUP);
    for (const ControlId chosen : {settings::idOption2, settings::idOption1}) {
        Click(chosen);
        EXPECT_TRUE(driver::WaitUntil([&] { return Checked(chosen); }));
        EXPECT_FALSE(
            Checked(chosen == settings::idOption1 ? settings::idOption2 : settings::idOption1));
    }
}

TEST_F(OptionsWindow, TabVisitsTheControlsInOrderAndTheDefaultButtonFollows) {
    Open();
    const auto expectFocus = [&](ControlId id) {
        EXPECT_EQ(driver::WaitForFocus(window, Control(id)), Control(id)) << "focus on " << id;
        // A focused push button has the default look; otherwise Save has it.
        const bool push =
            id == settings::idOk || id == settings::idCancel || id == settings::idUninstall;
        const HWND look = Control(push ? id : settings::idOk);
        EXPECT_TRUE(driver::WaitUntil([&] {
            return (GetWindowLongPtrW(look, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        })) << "default look for "
            << id;
    };
    expectFocus(settings::idOk);
    for (const ControlId id : {settings::idCancel, settings::idDelete, settings::idOption1,
                               settings::idTell, settings::idUninstall, settings::idOk}) {
        driver::SendKey(window, VK_TAB);
        expectFocus(id);
    }
    driver::SendKey(window, VK_TAB, true);
    expectFocus(settings::idUninstall);
    // The option group is entered at its selected button, from either side.
    Click(settings::idOption2);
    expectFocus(settings::idOption2);
    driver::SendKey(window, VK_TAB);
    expectFocus(settings::idTell);
    driver::SendKey(window, VK_TAB, true);
    expectFocus(settings::idOption2);
    driver::SendKey(window, VK_TAB, true);
    expectFocus(settings::idDelete);
}

enum class Outcome { Saved, Cancelled, Uninstalled };
struct KeyCase {
    const char* name;
    int tabs; // from Save, where the focus starts
    UINT key; // 0: the close box
    Outcome outcome;
};

class Keys : public OptionsWindow, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, ActOnTheFocusedButtonAsInADialog) {
    Open();
    for (int i = 0; i < GetParam().tabs; ++i) {
        driver::SendKey(window, VK_TAB);
    }
    Sleep(200); // the keys reach the window in their own time
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kVerbKey));
    if (GetParam().key == 0) {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        driver::SendKey(window, GetParam().key);
    }
    switch (GetParam().outcome) {
    case Outcome::Saved:
        ExpectEnded();
        EXPECT_EQ(Stored("op") + Stored("del") + Stored("tell"), std::string("1\0"
                                                                             "0\0"
                                                                             "1\0",
                                                                             6));
        break;
    case Outcome::Cancelled:
        ExpectEnded();
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey)) << "the options were saved";
        break;
    case Outcome::Uninstalled:
        EXPECT_TRUE(driver::WaitUntil([] { return !KeyExists(HKEY_CLASSES_ROOT, kVerbKey); }));
        Sleep(300); // what must not happen gets its time to happen
        EXPECT_TRUE(tarvex->Running());
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey));
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ExpectEnded();
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presses, Keys,
    ::testing::Values(KeyCase{"EnterOnSave", 0, VK_RETURN, Outcome::Saved},
                      KeyCase{"EnterOnCancel", 1, VK_RETURN, Outcome::Cancelled},
                      KeyCase{"EnterOnACheckBoxPressesSave", 2, VK_RETURN, Outcome::Saved},
                      KeyCase{"EnterOnAnOptionButtonPressesSave", 3, VK_RETURN, Outcome::Saved},
                      KeyCase{"EnterOnUninstall", 5, VK_RETURN, Outcome::Uninstalled},
                      KeyCase{"SpaceOnCancel", 1, VK_SPACE, Outcome::Cancelled},
                      KeyCase{"SpaceOnUninstall", 5, VK_SPACE, Outcome::Uninstalled},
                      KeyCase{"EscapeOnSave", 0, VK_ESCAPE, Outcome::Cancelled},
                      KeyCase{"EscapeOnUninstall", 5, VK_ESCAPE, Outcome::Cancelled},
                      KeyCase{"CloseBox", 0, 0, Outcome::Cancelled}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionsWindow, SaveStoresTheThreeValuesAndTheNextStartShowsThem) {
    const std::array<std::string, 3> states[] = {
        {"1", "0", "1"}, {"2", "1", "0"}, {"2", "0", "1"}, {"1", "1", "0"}};
    for (const auto& state : states) {
        SCOPED_TRACE(state[0] + state[1] + state[2]);
        testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey);
        Open();
        if (state[0] == "2") {
            Click(settings::idOption2);
        }
        if (state[1] == "1") {
            Click(settings::idDelete);
        }
        if (state[2] == "0") {
            Click(settings::idTell);
        }
        Click(settings::idOk);
        ExpectEnded();
        EXPECT_EQ(Stored("op"), state[0] + '\0');
        EXPECT_EQ(Stored("del"), state[1] + '\0');
        EXPECT_EQ(Stored("tell"), state[2] + '\0');
        Open();
        EXPECT_EQ(Shown(), state);
        Click(settings::idCancel);
        ExpectEnded();
    }
}

TEST_F(OptionsWindow, UnknownStoredTextsAndNoKeyLeaveTheCreationState) {
    const std::array<const char*, 3> stored[] = {
        {"3", "2", "x"}, {" 1", "01", "1 "}, {"two", "yes", "no"}, {"", "", ""}};
    const std::array<std::string, 3> creation = {"1", "0", "1"};
    for (const auto& values : stored) {
        e2e::StoreOptions(values[0], values[1], values[2]);
        Open();
        EXPECT_EQ(Shown(), creation) << values[0] << '|' << values[1] << '|' << values[2];
        Click(settings::idCancel);
        ExpectEnded();
    }
    testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey);
    Open();
    EXPECT_EQ(Shown(), creation);
    Click(settings::idCancel);
    ExpectEnded();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey)) << "loading created the key";
}

} // namespace

// The options window, started without an argument, seen and used from outside.
#include "Driver.h"
#include "E2E.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

using driver::ControlInfo;

class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        tarvex = std::make_unique<driver::Program>(e2e::TarvexExe(), "");
        window = driver::WaitForWindow(tarvex->Pid(), "frMain", nullptr, e2e::kTimeoutMs);
        ASSERT_NE(window, nullptr);
        for (const auto& control : driver::ListControls(window)) {
            controls[control.caption.empty() ? std::to_string(control.id) : control.caption] =
                control;
        }
    }

    HWND Named(const std::string& caption) { return controls.at(caption).handle; }

    void ExpectFocusOn(const std::string& caption) {
        EXPECT_EQ(driver::WaitForFocus(window, Named(caption)), Named(caption))
            << "the focus should be on " << caption;
    }

    void ExpectEnded() {
        DWORD code = 99;
        ASSERT_TRUE(tarvex->WaitForExit(e2e::kTimeoutMs, &code));
        EXPECT_EQ(code, 0u);
    }

    void TearDown() override { testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey); }

    static constexpr const char* kSettingsKey = "Software\\MetaQuotes Software\\brenholt";
    std::unique_ptr<driver::Program> tarvex;
    HWND window = nullptr;
    std::map<std::string, ControlInfo> controls;
};

TEST_F(OptionsWindow, IsAFixedCentredWindowOfTheGivenClientSize) {
    EXPECT_EQ(driver::TextOf(window), "Tarvex - Brenholt");
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(GetMenu(window), nullptr);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, 265, 1);
    EXPECT_NEAR(client.bottom, 248, 1);

    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    driver::SaveScreenshot(window, testing_support::BuildFolder() + "\\options-window.png");
}

TEST_F(OptionsWindow, HasEveryControlAtItsPlace) {
    constexpr DWORD kType = BS_TYPEMASK;
    const struct {
        const char* caption; // or the control id for captionless ones
        const char* className;
        const char* container; // caption of the parent control, or null for the window
        DWORD type;            // low style bits: button or static type
        double left, top, width, height;
        LRESULT check;
    } expected[] = {
        {"Options :", "Button", nullptr, BS_GROUPBOX, 4, 3, 257, 181, 0},
        {"Compile && open in MetaEditor", "Button", nullptr, BS_AUTORADIOBUTTON, 17, 22, 185, 17,
         BST_CHECKED},
        {"Compile only", "Button", nullptr, BS_AUTORADIOBUTTON, 17, 46, 185, 17, BST_UNCHECKED},
        {"103", "Button", "Options :", BS_GROUPBOX, 8, 60, 241, 61, 0},
        {"Delete source after coping", "Button", "103", BS_AUTOCHECKBOX, 8, 14, 153, 13,
         BST_UNCHECKED},
        {"Tell me the type of the file", "Button", "103", BS_AUTOCHECKBOX, 8, 38, 153, 13,
         BST_CHECKED},
        {"&Uninstall (delete context menu)", "Button", nullptr, BS_PUSHBUTTON, 29, 137, 207, 29, 0},
        {"&Cancel", "Button", nullptr, BS_PUSHBUTTON, 18.5, 189, 94, 25, 0},
        {"&Save", "Button", nullptr, BS_DEFPUSHBUTTON, 153.5, 189, 94, 25, 0},
        {"107", "Static", nullptr, SS_ETCHEDFRAME, 2, 223, 260, 3, 0},
        {"\xA9", "Static", nullptr, SS_LEFT, 42, 226, 12, 20, 0},
        {"brenholt.example", "Static", nullptr, SS_LEFT, 61, 228, 138, 16, 0},
    };
    ASSERT_EQ(controls.size(), std::size(expected));
    for (const auto& e : expected) {
        SCOPED_TRACE(e.caption);
        ASSERT_EQ(controls.count(e.caption), 1u);
        const ControlInfo& c = controls.at(e.caption);
        EXPECT_EQ(c.className, e.className);
        EXPECT_EQ(c.parent, e.container == nullptr ? window : Named(e.container));
        EXPECT_EQ(c.style & (c.className == "Static" ? SS_TYPEMASK : kType), e.type);
        EXPECT_TRUE(c.visible);
        EXPECT_LE(std::abs(c.rect.left - e.left), 1.0);
        EXPECT_LE(std::abs(c.rect.top - e.top), 1.0);
        EXPECT_LE(std::abs(c.rect.right - c.rect.left - e.width), 1.0);
        EXPECT_LE(std::abs(c.rect.bottom - c.rect.top - e.height), 1.0);
        EXPECT_EQ(c.check, e.check);
    }
    // The option buttons make one group: the group starts at the first and ends after the
    // second.
    const HWND option1 = Named("Compile && open in MetaEditor");
    const HWND option2 = Named("Compile only");
    EXPECT_EQ(GetWindow(option1, GW_HWNDNEXT), option2);
    EXPECT_TRUE(GetWindowLongPtrA(option1, GWL_STYLE) & WS_GROUP);
    EXPECT_FALSE(GetWindowLongPtrA(option2, GWL_STYLE) & WS_GROUP);
    EXPECT_TRUE(GetWindowLongPtrA(GetWindow(option2, GW_HWNDNEXT), GWL_STYLE) & WS_GROUP);
}

TEST_F(OptionsWindow, SelectingOneOptionDeselectsTheOther) {
    const HWND option1 = Named("Compile && open in MetaEditor");
    const HWND option2 = Named("Compile only");
    for (const HWND chosen : {option2, option1, option2}) {
        driver::PressButton(chosen);
        EXPECT_TRUE(driver::WaitUntil(
            [&] { return SendMessageA(chosen, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        EXPECT_EQ(SendMessageA(chosen == option1 ? option2 : option1, BM_GETCHECK, 0, 0),
                  BST_UNCHECKED);
    }
}

TEST_F(OptionsWindow, TabVisitsTheControlsInTheirOrder) {
    ExpectFocusOn("&Save");
    const char* forward[] = {"&Cancel",
                             "Delete source after coping",
                             "Compile && open in MetaEditor",
                             "Tell me the type of the file",
                             "&Uninstall (delete context menu)",
                             "&Save"};
    for (const char* caption : forward) {
        driver::SendKey(window, VK_TAB);
        EXPECT_EQ(driver::WaitForFocus(window, Named(caption)), Named(caption))
            << "expected " << caption;
    }
    driver::SendKey(window, VK_TAB, true);
    ExpectFocusOn("&Uninstall (delete context menu)");

    // The option group is entered at its selected button, from either side.
    driver::PressButton(Named("Compile only"));
    ExpectFocusOn("Compile only");
    driver::SendKey(window, VK_TAB);
    ExpectFocusOn("Tell me the type of the file");
    driver::SendKey(window, VK_TAB, true);
    ExpectFocusOn("Compile only");
    driver::SendKey(window, VK_TAB, true);
    ExpectFocusOn("Delete source after coping");
    driver::SendKey(window, VK_TAB);
    ExpectFocusOn("Compile only");
}

TEST_F(OptionsWindow, UninstallKeepsTheWindowOpen) {
    driver::PressButton(Named("&Uninstall (delete context menu)"));
    Sleep(300); // what must not happen gets its time to happen
    EXPECT_TRUE(tarvex->Running());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(driver::FindWindowOf(tarvex->Pid(), "#32770", nullptr), nullptr);
}

struct Ending {
    const char* name;
    void (*act)(HWND window, std::map<std::string, ControlInfo>& controls);
    bool saves; // the options as loaded are stored
};

class OptionsWindowEnding : public OptionsWindow, public ::testing::WithParamInterface<Ending> {};

TEST_P(OptionsWindowEnding, EndsTheProgramSavingOnlyOnSave) {
    GetParam().act(window, controls);
    ExpectEnded();
    std::string op;
    EXPECT_EQ(testing_support::QueryValue(HKEY_CURRENT_USER, kSettingsKey, "op", op),
              GetParam().saves);
    if (GetParam().saves) {
        EXPECT_EQ(op, std::string("1\0", 2));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, OptionsWindowEnding,
    ::testing::Values(
        Ending{"EnterKey", [](HWND w, auto&) { driver::SendKey(w, VK_RETURN); }, true},
        Ending{"EscapeKey", [](HWND w, auto&) { driver::SendKey(w, VK_ESCAPE); }, false},
        Ending{"CloseBox", [](HWND w, auto&) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); },
               false},
        Ending{"CancelButton", [](HWND, auto& c) { driver::PressButton(c.at("&Cancel").handle); },
               false},
        Ending{"SaveButton", [](HWND, auto& c) { driver::PressButton(c.at("&Save").handle); },
               true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

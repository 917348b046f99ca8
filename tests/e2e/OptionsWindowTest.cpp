// The options window, started without an argument, seen and used from outside: its layout
// against the program's own table, and its keyboard.
#include "Road.h"
#include "settings/OptionsLayout.h"
#include "sys/Handles.h"

#include <algorithm>
#include <map>

namespace {

using namespace settings;
using e2e::kAnyClassVerb;
using e2e::kOtherVerb;
using e2e::kVerb;
using testing_support::KeyExists;

class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override { testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey); }
    void TearDown() override {
        testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey);
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\open");
        testing_support::DeleteTree(HKEY_CURRENT_USER,
                                    e2e::kUserClasses + "SystemFileAssociations");
    }
    void Open() {
        tarvex = std::make_unique<driver::Program>(e2e::TarvexExe(), "");
        window = driver::WaitForWindow(tarvex->Pid(), "frMain", nullptr, e2e::kTimeoutMs);
        ASSERT_NE(window, nullptr);
        for (const auto& control : driver::ListControls(window)) {
            controls[control.id] = control;
        }
    }
    HWND Control(int id) { return controls.at(id).handle; }
    bool Checked(int id) { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    std::unique_ptr<driver::Program> tarvex;
    HWND window = nullptr;
    std::map<int, driver::ControlInfo> controls;
};

TEST_F(OptionsWindow, IsLaidOutAsItsTableSaysAtTheScreensDpi) {
    // 15 twips to the pixel at 96 dots per inch; halves round up.
    EXPECT_EQ(TwipsToPixels(3975, 96) * 1000 + TwipsToPixels(278, 96), 265019);
    EXPECT_EQ(TwipsToPixels(1440, 120), 120);
    Open();
    const int dpi = GetDeviceCaps(sys::unique_window_dc(nullptr).get(), LOGPIXELSY);
    const auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    EXPECT_EQ(driver::TextOf(window), "Tarvex - Brenholt");
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) &
                  (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU);
    RECT client;
    RECT frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    EXPECT_NEAR(client.right, px(kClientWidthTwips), 1);
    EXPECT_NEAR(client.bottom, px(kClientHeightTwips), 1);
    EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 2); // centred
    EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
    // What each control is, as the window's layout describes it, to the window system.
    const std::pair<const char*, DWORD> group{"Button", BS_GROUPBOX},
        option{"Button", BS_AUTORADIOBUTTON}, box{"Button", BS_AUTOCHECKBOX},
        button{"Button", BS_PUSHBUTTON}, label{"Static", SS_LEFT};
    // clang-format off
    const std::map<int, std::pair<const char*, DWORD>> kinds = {
        {idFrame1, group}, {idOption1, option}, {idOption2, option}, {idFrame3, group},
        {idDelete, box}, {idTell, box}, {idUninstall, button}, {idCancel, button},
        {idOk, {"Button", BS_DEFPUSHBUTTON}}, {idFrame4, {"Static", SS_ETCHEDFRAME}},
        {idLabel2, label}, {idLabel1, label}};
    // clang-format on
    ASSERT_EQ(controls.size(), kControls.size());
    for (const auto& spec : kControls) {
        const driver::ControlInfo& c = controls.at(spec.id);
        const auto [className, type] = kinds.at(spec.id);
        EXPECT_EQ(c.className, className) << spec.name;
        EXPECT_EQ(c.style & (c.className == "Static" ? SS_TYPEMASK : BS_TYPEMASK), type)
            << spec.name;
        const RECT place{px(spec.left), px(spec.top), px(spec.left) + px(spec.width),
                         px(spec.top) + px(spec.height)};
        EXPECT_TRUE((c.style & WS_VISIBLE) &&
                    GetParent(c.handle) == (spec.container ? Control(spec.container) : window) &&
                    std::max({std::abs(c.rect.left - place.left), std::abs(c.rect.top - place.top),
                              std::abs(c.rect.right - place.right),
                              std::abs(c.rect.bottom - place.bottom)}) <= 1)
            << spec.name;
        EXPECT_EQ(c.caption, testing_support::Utf8(spec.caption)); // U+00A9 on any code page
        // Without stored options: the first option, no deleting, telling.
        EXPECT_EQ(Checked(spec.id), spec.id == idOption1 || spec.id == idTell) << spec.name;
    }
    // One group of option buttons: it starts at the first and ends after the second.
    EXPECT_EQ(GetWindow(Control(idOption1), GW_HWNDNEXT), Control(idOption2));
    EXPECT_TRUE((controls.at(idOption1).style & WS_GROUP) &&
                !(controls.at(idOption2).style & WS_GROUP));
    for (const int chosen : {idOption2, idOption1}) {
        driver::PressButton(Control(chosen));
        EXPECT_TRUE(driver::WaitUntil([&] { return Checked(chosen); }));
        EXPECT_NE(Checked(idOption1), Checked(idOption2));
    }
}

enum class Outcome { Saved, Cancelled, Uninstalled };
struct KeyCase {
    const char* name;
    int tabs; // from Save, where the focus starts; below 0: with Shift
    UINT key; // 0: the close box
    Outcome outcome;
    bool second = false; // the second option stored: the group is entered there
};

class Keys : public OptionsWindow, public ::testing::WithParamInterface<KeyCase> {};

// Tab follows the table's order across the frames, the option group is one stop, and as in a
// dialog a push button that has the focus is the default one: Enter and Space press it.
TEST_P(Keys, MoveTheFocusInOrderAndActOnTheFocusedButton) {
    const KeyCase& c = GetParam();
    const std::string op = c.second ? "2" : "<none>";
    if (c.second) {
        e2e::StoreOptions("2", nullptr, nullptr);
    }
    Open();
    const ControlId stops[] = {idOk,   idCancel,   idDelete, c.second ? idOption2 : idOption1,
                               idTell, idUninstall};
    ControlId focus = idOk;
    for (int i = 1; i <= std::abs(c.tabs); ++i) {
        driver::SendKey(window, VK_TAB, c.tabs < 0);
        focus = stops[(c.tabs < 0 ? 6 - i % 6 : i) % 6];
        ASSERT_EQ(driver::WaitForFocus(window, Control(focus)), Control(focus)) << i << " tabs";
    }
    const bool push = kControls[IndexOf(focus)].kind == ControlKind::CommandButton;
    EXPECT_TRUE(driver::WaitUntil([&] {
        return (GetWindowLongPtrW(Control(push ? focus : idOk), GWL_STYLE) & 0xF) ==
               BS_DEFPUSHBUTTON;
    })) << "the default look";
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kVerb));
    // The entry on every .mq4 file, as a start writes it while another class owns them (here
    // as an older one wrote it, unquoted), another program's entry there in the user's classes,
    // and another program's verb beside Tarvex's.
    testing_support::SetText(HKEY_CLASSES_ROOT, kAnyClassVerb + "\\command", "",
                             "C:\\Old Place\\Tarvex.exe %1");
    const std::string other = e2e::kUserClasses + kAnyClassVerb + "\\command";
    testing_support::SetText(HKEY_CURRENT_USER, other, "", "\"C:\\Tools\\My Tarvex.exe\" %1");
    testing_support::SetText(HKEY_CLASSES_ROOT, kOtherVerb, "", "x");
    // "Compile in", as a start with two terminals writes it.
    const std::string cascade = e2e::CascadeKey(".mq5") + "\\shell\\01\\command";
    testing_support::SetText(HKEY_CURRENT_USER, cascade, "", "Tarvex.exe %1");
    if (c.key == 0) {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        driver::SendKey(window, c.key);
    }
    const std::string mq5 = "SystemFileAssociations\\.mq5";
    if (c.outcome == Outcome::Uninstalled) { // every entry, and the window stays
        EXPECT_TRUE(driver::WaitUntil([&] {
            return !KeyExists(HKEY_CLASSES_ROOT, kVerb) &&
                   !KeyExists(HKEY_CLASSES_ROOT, kAnyClassVerb) &&
                   !KeyExists(HKEY_CLASSES_ROOT, mq5) &&
                   !KeyExists(HKEY_CURRENT_USER, e2e::kUserClasses + mq5);
        }));
        driver::SendKey(window, c.key); // again, with nothing left to remove
        Sleep(300);                     // what must not happen gets its time to happen
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kOtherVerb) &&
                    KeyExists(HKEY_CURRENT_USER, other));
        EXPECT_EQ(driver::FindWindowOf(tarvex->Pid(), "#32770", nullptr), nullptr);
        EXPECT_FALSE(tarvex->WaitForExit(0));
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    EXPECT_EQ(e2e::ExitCodeOf(*tarvex), 0u);
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, cascade), c.outcome != Outcome::Uninstalled);
    const std::string saved = std::string(c.second ? "2" : "1") + "01";
    EXPECT_EQ(e2e::StoredOptions(), c.outcome == Outcome::Saved ? saved : op + "<none><none>");
}

INSTANTIATE_TEST_SUITE_P(
    Presses, Keys,
    ::testing::Values(KeyCase{"EnterOnSave", 0, VK_RETURN, Outcome::Saved},
                      KeyCase{"EnterOnCancel", 1, VK_RETURN, Outcome::Cancelled},
                      KeyCase{"EnterOnACheckBox", 2, VK_RETURN, Outcome::Saved},
                      KeyCase{"EnterOnTheSelectedOptionButton", 3, VK_RETURN, Outcome::Saved, true},
                      KeyCase{"EscapeOnACheckBox", 4, VK_ESCAPE, Outcome::Cancelled},
                      KeyCase{"EnterOnUninstall", 5, VK_RETURN, Outcome::Uninstalled},
                      KeyCase{"AllTheWayRound", 6, VK_RETURN, Outcome::Saved},
                      KeyCase{"SpaceOnCancel", 1, VK_SPACE, Outcome::Cancelled},
                      KeyCase{"SpaceOnUninstallBackwards", -1, VK_SPACE, Outcome::Uninstalled},
                      KeyCase{"EnterBackwardsOnTheSelectedOptionButton", -3, VK_RETURN,
                              Outcome::Saved, true},
                      KeyCase{"EscapeOnUninstall", 5, VK_ESCAPE, Outcome::Cancelled},
                      KeyCase{"CloseBox", 0, 0, Outcome::Cancelled}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

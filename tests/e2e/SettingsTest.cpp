// The options as the window shows them, saves them, and finds them at the next start.
#include "Road.h"

#include <array>
#include <map>

namespace {

using testing_support::KeyExists;
using testing_support::QueryValue;

struct WindowState {
    bool option2;
    bool deleteSource;
    bool tell;
};

class Options : public ::testing::Test {
protected:
    void SetUp() override { testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey); }
    void TearDown() override { testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey); }

    void Open() {
        tarvex = std::make_unique<driver::Program>(e2e::TarvexExe(), "");
        window = driver::WaitForWindow(tarvex->Pid(), "frMain", nullptr, e2e::kTimeoutMs);
        ASSERT_NE(window, nullptr);
        controls.clear();
        for (const auto& control : driver::ListControls(window)) {
            controls[control.caption] = control.handle;
        }
    }
    bool Checked(const char* caption) {
        return SendMessageA(controls.at(caption), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    WindowState Shown() {
        EXPECT_NE(Checked("Compile && open in MetaEditor"), Checked("Compile only"));
        return {Checked("Compile only"), Checked("Delete source after coping"),
                Checked("Tell me the type of the file")};
    }
    void Click(const char* caption) { driver::PressButton(controls.at(caption)); }
    void Close(const char* how) {
        if (std::string(how) == "close box") {
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            Click(how);
        }
        DWORD code = 99;
        EXPECT_TRUE(tarvex->WaitForExit(e2e::kTimeoutMs, &code));
        EXPECT_EQ(code, 0u);
    }
    static std::string Stored(const char* name) {
        std::string data;
        return QueryValue(HKEY_CURRENT_USER, e2e::kSettingsKey, name, data) ? data : "<none>";
    }
    static DWORD StoredCount() {
        HKEY key = nullptr;
        DWORD values = 0;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, e2e::kSettingsKey, 0, KEY_READ, &key) == 0) {
            RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr);
            RegCloseKey(key);
        }
        return values;
    }

    std::unique_ptr<driver::Program> tarvex;
    HWND window = nullptr;
    std::map<std::string, HWND> controls;
};

TEST_F(Options, SaveWritesTheThreeValuesAndTheNextStartShowsThem) {
    const WindowState states[] = {
        {false, false, true}, {true, true, false}, {true, false, true}, {false, true, false}};
    for (const auto& state : states) {
        SCOPED_TRACE(testing::Message() << state.option2 << state.deleteSource << state.tell);
        testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey);
        Open();
        if (state.option2) {
            Click("Compile only");
        }
        if (state.deleteSource) {
            Click("Delete source after coping");
        }
        if (!state.tell) {
            Click("Tell me the type of the file");
        }
        Close("&Save");
        EXPECT_EQ(StoredCount(), 3u);
        EXPECT_EQ(Stored("op"), std::string(state.option2 ? "2" : "1") + '\0');
        EXPECT_EQ(Stored("del"), std::string(state.deleteSource ? "1" : "0") + '\0');
        EXPECT_EQ(Stored("tell"), std::string(state.tell ? "1" : "0") + '\0');

        Open();
        const WindowState shown = Shown();
        EXPECT_EQ(shown.option2, state.option2);
        EXPECT_EQ(shown.deleteSource, state.deleteSource);
        EXPECT_EQ(shown.tell, state.tell);
        Close("&Cancel");
    }
}

TEST_F(Options, UnknownStoredTextsAndNoKeyLeaveTheCreationState) {
    const std::vector<std::array<const char*, 3>> stored = {
        {"3", "2", "x"}, {" 1", "01", "1 "}, {"two", "yes", "no"}, {"", "", ""}};
    for (const auto& values : stored) {
        e2e::StoreOptions(values[0], values[1], values[2]);
        Open();
        const WindowState shown = Shown();
        EXPECT_FALSE(shown.option2) << values[0];
        EXPECT_FALSE(shown.deleteSource) << values[1];
        EXPECT_TRUE(shown.tell) << values[2];
        Close("close box");
    }
    testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey);
    Open();
    const WindowState shown = Shown();
    EXPECT_FALSE(shown.option2);
    EXPECT_FALSE(shown.deleteSource);
    EXPECT_TRUE(shown.tell);
    Close("&Cancel");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey)) << "loading created the key";
}

TEST_F(Options, CancelAndTheCloseBoxWriteNothing) {
    for (const char* how : {"&Cancel", "close box"}) {
        e2e::StoreOptions("2", "1", "0");
        Open();
        Click("Compile && open in MetaEditor");
        Click("Delete source after coping");
        Click("Tell me the type of the file");
        Close(how);
        EXPECT_EQ(Stored("op"), std::string("2\0", 2)) << how;
        EXPECT_EQ(Stored("del"), std::string("1\0", 2)) << how;
        EXPECT_EQ(Stored("tell"), std::string("0\0", 2)) << how;
    }
}

} // namespace

// The "Compile" entry of the context menu: registered, used through the shell, removed.
#include "Road.h"

#include <shellapi.h>

namespace {

using testing_support::KeyExists;
using testing_support::QueryValue;

constexpr const char* kVerbKey = "MQLEditor4.File\\shell\\Compile";
constexpr const char* kCommandKey = "MQLEditor4.File\\shell\\Compile\\command";

class ShellVerb : public e2e::Road {
protected:
    void SetUp() override {
        // As MetaEditor's installer associates its sources.
        testing_support::SetValue(HKEY_CLASSES_ROOT, ".mq4", "", REG_SZ,
                                  std::string("MQLEditor4.File\0", 16));
    }

    // A start that registers the verb and ends at once.
    static void StartAndRefuse(const std::string& exe) {
        driver::Program tarvex(exe, "not-a-source.txt");
        driver::AnswerMessageBox(tarvex.Pid(), "OK");
        EXPECT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs));
    }

    static std::string Command() {
        std::string data;
        return QueryValue(HKEY_CLASSES_ROOT, kCommandKey, "", data) ? data : "<none>";
    }
};

TEST_F(ShellVerb, EveryStartRegistersTheQuotedCommandAndLeavesOtherValues) {
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, kVerbKey);
    testing_support::SetValue(HKEY_CLASSES_ROOT, kVerbKey, "", REG_SZ,
                              std::string("Someone's label\0", 16));
    StartAndRefuse(e2e::TarvexExe());
    EXPECT_EQ(Command(), "\"" + e2e::TarvexExe() + "\" \"%1\"" + '\0');
    std::string label;
    ASSERT_TRUE(QueryValue(HKEY_CLASSES_ROOT, kVerbKey, "", label));
    EXPECT_EQ(label, std::string("Someone's label\0", 16));
}

TEST_F(ShellVerb, FollowsTheProgramAndRunsTheInstallThroughTheShell) {
    testing_support::TempFolder tools;
    const std::string copy = tools / "My Tools\\Compile Helper.exe";
    testing_support::MakeFolder(tools / "My Tools");
    ASSERT_TRUE(CopyFileA(e2e::TarvexExe().c_str(), copy.c_str(), FALSE));
    StartAndRefuse(copy);
    EXPECT_EQ(Command(), "\"" + copy + "\" \"%1\"" + '\0');

    e2e::StoreOptions("2", "0", "1");
    const std::string source = Source("Indicator", "via shell.mq4");
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "Compile";
    info.lpFile = source.c_str();
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&info));
    ASSERT_NE(info.hProcess, nullptr);
    const auto told = driver::AnswerMessageBox(GetProcessId(info.hProcess), "OK");
    EXPECT_EQ(told.text, "The Indicator has been installed!");
    EXPECT_EQ(WaitForSingleObject(info.hProcess, e2e::kTimeoutMs), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);

    const std::string installed = mt.KindFolder("Indicator") + "\\via shell.mq4";
    EXPECT_TRUE(testing_support::PathExists(installed));
    ASSERT_EQ(mt.Runs().size(), 1u);
    EXPECT_EQ(mt.Runs()[0].commandLine, "metalang -q \"" + installed + "\"");
    StartAndRefuse(e2e::TarvexExe()); // the build's own program again, for the other tests
}

TEST_F(ShellVerb, UninstallRemovesTheVerbUntilTheNextStart) {
    driver::Program tarvex(e2e::TarvexExe(), "");
    HWND window = driver::WaitForWindow(tarvex.Pid(), "frMain", nullptr, e2e::kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));
    HWND uninstall = nullptr;
    for (const auto& control : driver::ListControls(window)) {
        if (control.caption == "&Uninstall (delete context menu)") {
            uninstall = control.handle;
        }
    }
    for (int press = 0; press < 2; ++press) {
        driver::PressButton(uninstall);
        EXPECT_TRUE(driver::WaitUntil([] { return !KeyExists(HKEY_CLASSES_ROOT, kVerbKey); }));
        Sleep(300); // what must not happen gets its time to happen
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell"));
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "#32770", nullptr), nullptr);
    }
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kVerbKey));

    StartAndRefuse(e2e::TarvexExe());
    EXPECT_EQ(Command(), "\"" + e2e::TarvexExe() + "\" \"%1\"" + '\0');
}

} // namespace

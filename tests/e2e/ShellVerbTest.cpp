// The "Compile" entry of the context menu: registered, used through the shell, removed.
#include "Road.h"
#include "settings/OptionsLayout.h"
#include "sys/Handles.h"

namespace {

using testing_support::KeyExists;
using testing_support::QueryValue;

constexpr const char* kVerbKey = "MQLEditor4.File\\shell\\Compile";
constexpr const char* kCommandKey = "MQLEditor4.File\\shell\\Compile\\command";
// Where the verb goes when HKEY_CLASSES_ROOT refuses it (a standard account on Windows).
const std::string kUserClasses = "Software\\Classes\\";

class ShellVerb : public e2e::Road {
protected:
    void SetUp() override {
        // As MetaEditor's installer associates its sources.
        testing_support::SetText(HKEY_CLASSES_ROOT, ".mq4", "", "MQLEditor4.File");
    }
    void TearDown() override {
        testing_support::DeleteTree(HKEY_CURRENT_USER, kUserClasses + "MQLEditor4.File");
        Road::TearDown();
    }

    // A start that registers the verb and ends at once.
    static void StartAndRefuse(const std::string& exe) {
        driver::Program tarvex(exe, "not-a-source.txt");
        driver::AnswerMessageBox(tarvex.Pid(), IDOK);
        EXPECT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs));
    }

    static std::string Command() {
        std::string data;
        return QueryValue(HKEY_CLASSES_ROOT, kCommandKey, "", data) ? data : "<none>";
    }
};

TEST_F(ShellVerb, EveryStartRegistersTheQuotedCommandAndLeavesOtherValues) {
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, kVerbKey);
    testing_support::SetText(HKEY_CLASSES_ROOT, kVerbKey, "", "Someone's label");
    StartAndRefuse(e2e::TarvexExe());
    EXPECT_EQ(Command(), "\"" + e2e::TarvexExe() + "\" \"%1\"" + '\0');
    std::string label;
    ASSERT_TRUE(QueryValue(HKEY_CLASSES_ROOT, kVerbKey, "", label));
    EXPECT_EQ(label, std::string("Someone's label\0", 16));
    // Written where it was allowed, so the user's own classes stay as they were.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserClasses + "MQLEditor4.File"));
}

TEST_F(ShellVerb, FollowsTheProgramAndRunsTheInstallThroughTheShell) {
    testing_support::TempFolder tools;
    const std::string copy = tools / "My Tools\\Compile Helper.exe";
    testing_support::MakeFolder(tools / "My Tools");
    ASSERT_TRUE(CopyFileW(testing_support::Wide(e2e::TarvexExe()).c_str(),
                          testing_support::Wide(copy).c_str(), FALSE));
    StartAndRefuse(copy);
    EXPECT_EQ(Command(), "\"" + copy + "\" \"%1\"" + '\0');

    e2e::StoreOptions("2", "0", "1");
    const sys::unique_handle process(
        driver::InvokeVerb("Compile", Source("Indicator", "via shell.mq4")));
    ASSERT_TRUE(process);
    const auto told = driver::AnswerMessageBox(GetProcessId(process.get()), IDOK);
    EXPECT_EQ(told.text, "The Indicator has been installed!");
    EXPECT_EQ(WaitForSingleObject(process.get(), e2e::kTimeoutMs), WAIT_OBJECT_0);

    const std::string installed = mt.KindFolder("Indicator") + "\\via shell.mq4";
    EXPECT_TRUE(testing_support::PathExists(installed));
    ASSERT_EQ(mt.Runs().size(), 1u);
    EXPECT_EQ(mt.Runs()[0].commandLine, "metalang -q \"" + installed + "\"");
    StartAndRefuse(e2e::TarvexExe()); // the build's own program again, for the other tests
}

TEST_F(ShellVerb, UninstallRemovesTheVerbFromBothPlacesUntilTheNextStart) {
    // A verb left in the user's classes by a start that HKEY_CLASSES_ROOT refused, and
    // another program's verbs beside it.
    for (const std::string& classes : {std::string(), kUserClasses}) {
        const HKEY root = classes.empty() ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
        testing_support::SetText(root, classes + kCommandKey, "", "old");
        testing_support::SetText(root, classes + "MQLEditor4.File\\shell\\Open\\command", "", "x");
    }
    driver::Program tarvex(e2e::TarvexExe(), "");
    HWND window = driver::WaitForWindow(tarvex.Pid(), "frMain", nullptr, e2e::kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));
    for (int press = 0; press < 2; ++press) {
        driver::PressButton(GetDlgItem(window, settings::idUninstall));
        EXPECT_TRUE(driver::WaitUntil([] {
            return !KeyExists(HKEY_CLASSES_ROOT, kVerbKey) &&
                   !KeyExists(HKEY_CURRENT_USER, kUserClasses + kVerbKey);
        }));
        Sleep(300); // what must not happen gets its time to happen
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\Open\\command"));
        EXPECT_TRUE(
            KeyExists(HKEY_CURRENT_USER, kUserClasses + "MQLEditor4.File\\shell\\Open\\command"));
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "#32770", nullptr), nullptr);
    }
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kVerbKey));

    StartAndRefuse(e2e::TarvexExe());
    EXPECT_EQ(Command(), "\"" + e2e::TarvexExe() + "\" \"%1\"" + '\0');
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\Open");
}

} // namespace

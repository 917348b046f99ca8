// The "Compile" entry of the context menu: registered by every start, removed by Uninstall.
// (The verb used through the shell: the setup's test.)
#include "Road.h"
#include "settings/OptionsLayout.h"

namespace {

using testing_support::KeyExists;
using testing_support::StoredBytes;

const std::string kVerb = "MQLEditor4.File\\shell\\Compile";
const std::string kOtherVerb = "MQLEditor4.File\\shell\\Open\\command";
// Where the verb goes when HKEY_CLASSES_ROOT refuses it (a standard account on Windows).
const std::string kUserClasses = "Software\\Classes\\";

// A start that registers the verb and ends at once; the command it left.
std::string StartAndRefuse(const std::string& exe) {
    driver::Program tarvex(exe, "not-a-source.txt");
    driver::AnswerMessageBox(tarvex.Pid(), IDOK);
    EXPECT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs));
    return StoredBytes(HKEY_CLASSES_ROOT, kVerb + "\\command");
}

TEST(ShellVerb, EveryStartRegistersTheProgramWhereItLiesAndUninstallRemovesItFromBothPlaces) {
    // As MetaEditor's installer associates its sources, with a label of someone else's on the
    // verb; a verb left in the user's classes by a start that HKEY_CLASSES_ROOT refused, and
    // another program's verbs beside both.
    testing_support::SetText(HKEY_CLASSES_ROOT, ".mq4", "", "MQLEditor4.File");
    testing_support::SetText(HKEY_CLASSES_ROOT, kVerb, "", "Someone's label");
    testing_support::SetText(HKEY_CLASSES_ROOT, kOtherVerb, "", "x");
    testing_support::TempFolder tools;
    const std::string copy = tools / "My Tools\\Compile Helper.exe";
    testing_support::MakeFolder(tools / "My Tools");
    ASSERT_TRUE(CopyFileW(testing_support::Wide(e2e::TarvexExe()).c_str(),
                          testing_support::Wide(copy).c_str(), FALSE));
    EXPECT_EQ(StartAndRefuse(copy), "\"" + copy + "\" \"%1\"" + '\0');
    EXPECT_EQ(StoredBytes(HKEY_CLASSES_ROOT, kVerb), std::string("Someone's label\0", 16));
    // Written where it was allowed, so the user's own classes stay as they were.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserClasses + "MQLEditor4.File"));

    testing_support::SetText(HKEY_CURRENT_USER, kUserClasses + kVerb + "\\command", "", "old");
    testing_support::SetText(HKEY_CURRENT_USER, kUserClasses + kOtherVerb, "", "x");
    driver::Program tarvex(e2e::TarvexExe(), "");
    HWND window = driver::WaitForWindow(tarvex.Pid(), "frMain", nullptr, e2e::kTimeoutMs);
    ASSERT_NE(window, nullptr);
    for (int press = 0; press < 2; ++press) {
        driver::PressButton(GetDlgItem(window, settings::idUninstall));
        EXPECT_TRUE(driver::WaitUntil([] {
            return !KeyExists(HKEY_CLASSES_ROOT, kVerb) &&
                   !KeyExists(HKEY_CURRENT_USER, kUserClasses + kVerb);
        }));
        Sleep(300); // what must not happen gets its time to happen
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kOtherVerb) &&
                    KeyExists(HKEY_CURRENT_USER, kUserClasses + kOtherVerb));
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "#32770", nullptr), nullptr);
    }
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kVerb));
    // The next start registers it again: here the build's own program, for the other tests.
    EXPECT_EQ(StartAndRefuse(e2e::TarvexExe()), "\"" + e2e::TarvexExe() + "\" \"%1\"" + '\0');
    testing_support::DeleteTree(HKEY_CURRENT_USER, kUserClasses + "MQLEditor4.File");
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\Open");
}

} // namespace

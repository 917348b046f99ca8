// The setup as a user meets it: a silent install for the current user, "Compile" from the
// context menu, an upgrade in place, and a silent uninstall from the entry in Apps & features
// that takes away what Tarvex wrote and nothing else.
#include "Road.h"

#include <shlobj.h>

namespace {

using e2e::kAnyClassVerb, e2e::kOtherVerb, e2e::kUserClasses, e2e::kVerb;
using testing_support::KeyExists;
using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::StoredText;
using testing_support::Wide;

const std::string kMq5Verb = "SystemFileAssociations\\.mq5\\shell\\Compile";
const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string Folder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return testing_support::Utf8(path);
}

// msiexec's arguments that install the setup of that version.
std::string Package(const char* version) {
    return "/i \"" + testing_support::BuildFolder() + "\\setup\\Tarvex-" + version + ".msi\"";
}

// Runs msiexec with those arguments to its end; its exit code.
DWORD Msiexec(const std::string& arguments) {
    driver::Program run(Folder(CSIDL_SYSTEM) + "\\msiexec.exe", arguments);
    return e2e::ExitCodeOf(run, 120000);
}

// Apps & features' entries named Tarvex, under the user's and the machine's uninstall keys.
std::vector<std::pair<HKEY, std::string>> Entries() {
    std::vector<std::pair<HKEY, std::string>> entries;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        sys::unique_hkey list;
        char code[256];
        RegOpenKeyExA(root, kUninstall.c_str(), 0, KEY_READ, list.put());
        for (DWORD i = 0; list && RegEnumKeyA(list.get(), i, code, sizeof code) == 0; ++i) {
            if (StoredText(root, kUninstall + code, "DisplayName") == "Tarvex") {
                entries.push_back({root, kUninstall + code});
            }
        }
    }
    return entries;
}

// Uninstalls the one entry silently, by its own command; its exit code.
DWORD UninstallEntry() {
    const auto [root, key] = Entries().at(0);
    const std::string command = StoredText(root, key, "UninstallString");
    return Msiexec(command.substr(command.find(' ') + 1) + " /qn");
}

// One entry in Apps & features, of that version.
void ExpectOneEntry(const char* version) {
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(StoredText(entries[0].first, entries[0].second, "DisplayVersion"), version);
}

// The options window the setup opened at its end, closed by the user.
void CloseOptionsWindow() {
    HWND options = nullptr;
    EXPECT_TRUE(driver::WaitUntil([&] { return (options = FindWindowW(L"frMain", nullptr)); }));
    DWORD pid = 0;
    GetWindowThreadProcessId(options, &pid);
    const sys::unique_handle running(OpenProcess(SYNCHRONIZE, FALSE, pid));
    PostMessageW(options, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(WaitForSingleObject(running.get(), e2e::kTimeoutMs), WAIT_OBJECT_0);
}

class Setup : public e2e::Road {
protected:
    void SetUp() override {
        // MetaEditor's association with a verb of its own; verbs the program left in the user's
        // classes when HKEY_CLASSES_ROOT was refused to it, and on every .mq4 file while another
        // class owned them.
        testing_support::SetText(HKEY_CLASSES_ROOT, ".mq4", "", "MQLEditor4.File");
        testing_support::SetText(HKEY_CLASSES_ROOT, kOtherVerb, "", "MetaEditor.exe \"%1\"");
        for (const std::string& key : {kUserClasses + kVerb, kUserClasses + kAnyClassVerb}) {
            testing_support::SetText(HKEY_CURRENT_USER, key + "\\command", "", "Tarvex.exe \"%1\"");
        }
        testing_support::SetText(HKEY_CLASSES_ROOT, kAnyClassVerb + "\\command", "", "Tarvex.exe");
    }
    void TearDown() override {
        while (!Entries().empty() && UninstallEntry() == 0) {
        }
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\open");
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, kAnyClassVerb);
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, kMq5Verb);
        Road::TearDown();
    }
};

TEST_F(Setup, InstallsForTheUserUpgradesInPlaceAndRemovesWhatTarvexWrote) {
    const std::string exe = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tarvex\\Tarvex.exe";
    const std::string shortcut = Folder(CSIDL_PROGRAMS) + "\\Tarvex.lnk";
    e2e::StoreOptions("2", "0", "1");

    ASSERT_EQ(Msiexec(Package(TARVEX_VERSION) + " /qn"), 0u);
    EXPECT_EQ(ReadBytes(exe), ReadBytes(testing_support::BuildFolder() + "\\Tarvex.exe"));
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kVerb + "\\command"), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kVerb), "<none>");
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kVerb, "MultiSelectModel"), "Player");
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kMq5Verb + "\\command"), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kMq5Verb, "MultiSelectModel"), "Player");
    EXPECT_NE(ReadBytes(shortcut).find(exe), std::string::npos) << "the shortcut's target";
    ExpectOneEntry(TARVEX_VERSION);

    // "Compile" in the context menu runs the installed program.
    const std::string source = Source("Script", "from the menu.mq4");
    const sys::unique_handle process(driver::InvokeVerb("Compile", source));
    ASSERT_TRUE(process);
    EXPECT_EQ(driver::AnswerMessageBox(GetProcessId(process.get()), IDOK).text,
              "The Script has been installed!");
    EXPECT_EQ(WaitForSingleObject(process.get(), e2e::kTimeoutMs), WAIT_OBJECT_0);
    const std::string compiled = mt.KindFolder("Script") + "\\from the menu.mq4";
    EXPECT_EQ(mt.Runs(1).at(0).commandLine, "metalang -q \"" + compiled + "\"");

    // The next version through the setup's dialogs: the licence, Install once it is accepted,
    // and the options window at the end. It upgrades in place: the newer program, the options
    // as they were, one entry; an older setup does not go over it.
    driver::Program setup(Folder(CSIDL_SYSTEM) + "\\msiexec.exe", Package(TARVEX_NEXT_VERSION));
    const auto control = [&](const wchar_t* className, const char* caption) {
        HWND found = nullptr;
        driver::WaitUntil(
            [&] {
                const HWND dialog = driver::FindWindowOf(setup.Pid(), nullptr, "Tarvex Setup");
                return dialog && (found = FindWindowExW(dialog, nullptr, className,
                                                        caption ? Wide(caption).c_str() : nullptr));
            },
            60000);
        return found;
    };
    EXPECT_NE(driver::TextOf(control(L"RichEdit20W", nullptr)).find("Copyright (c) 2026 Brenholt"),
              std::string::npos);
    const HWND install = control(nullptr, "&Install");
    EXPECT_FALSE(IsWindowEnabled(install)) << "before the licence is accepted";
    driver::PressButton(control(nullptr, "I &accept the terms of the licence"));
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(install) != FALSE; }));
    driver::PressButton(install);
    EXPECT_EQ(SendMessageW(control(nullptr, "&Open Tarvex's options now"), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    driver::PressButton(control(nullptr, "&Finish"));
    EXPECT_TRUE(setup.WaitForExit(120000));
    CloseOptionsWindow();
    EXPECT_EQ(ReadBytes(exe), ReadBytes(testing_support::BuildFolder() + "\\TarvexNext.exe"));
    EXPECT_EQ(e2e::StoredOptions(), "201");
    ExpectOneEntry(TARVEX_NEXT_VERSION);
    EXPECT_NE(Msiexec(Package(TARVEX_VERSION) + " /qn"), 0u);

    // A silent uninstall from the entry removes what Tarvex wrote and nothing else: the verb on
    // every .mq4 file, which a start writes while another class owns them, where it is Tarvex's.
    testing_support::SetText(HKEY_CURRENT_USER, kUserClasses + kAnyClassVerb + "\\command", "",
                             "Tarvex.exe \"%1\"");
    testing_support::SetText(HKEY_CLASSES_ROOT, kAnyClassVerb + "\\command", "",
                             "\"C:\\Tools\\Other.exe\" \"%1\"");
    testing_support::SetText(HKEY_CURRENT_USER, e2e::CascadeKey(".mq5") + "\\shell\\01\\command",
                             "", "Tarvex.exe %1"); // as a start with two terminals writes it
    ASSERT_EQ(UninstallEntry(), 0u);
    const std::pair<const char*, bool> left[] = {
        {"the program", PathExists(exe)},
        {"the shortcut", PathExists(shortcut)},
        {"the verb", KeyExists(HKEY_CLASSES_ROOT, kVerb)},
        {"the verb in the user's classes", KeyExists(HKEY_CURRENT_USER, kUserClasses + kVerb)},
        {"the verb on every .mq4 file, and Compile in",
         KeyExists(HKEY_CURRENT_USER, kUserClasses + "SystemFileAssociations")},
        {"the verb on every .mq5 file", KeyExists(HKEY_CLASSES_ROOT, kMq5Verb)},
        {"+another program's verb on every .mq4 file",
         StoredText(HKEY_CLASSES_ROOT, kAnyClassVerb + "\\command") ==
             "\"C:\\Tools\\Other.exe\" \"%1\""},
        {"the options", KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey)},
        {"the setup's key", KeyExists(HKEY_CURRENT_USER, "Software\\Brenholt")},
        {"the entry in Apps & features", !Entries().empty()},
        {"+MetaEditor's own verb", KeyExists(HKEY_CLASSES_ROOT, kOtherVerb)},
        {"+the association of .mq4", KeyExists(HKEY_CLASSES_ROOT, ".mq4")},
        {"+the terminal's key",
         StoredText(HKEY_CURRENT_USER, testing_support::kTerminalKey, "InstallPath") != "<none>"},
        {"+the source", PathExists(source)},
        {"+the source in the terminal", PathExists(compiled)}};
    for (const auto& [what, there] : left) {
        EXPECT_EQ(there, *what == '+') << what; // + marks what must stay
    }

    // Another program's entry on every .mq5 file stays as it is.
    const std::string other = "\"C:\\Tools\\Other.exe\" \"%1\"";
    testing_support::SetText(HKEY_CLASSES_ROOT, kMq5Verb + "\\command", "", other);
    ASSERT_EQ(Msiexec(Package(TARVEX_VERSION) + " /qn"), 0u);
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kMq5Verb + "\\command"), other);
    ASSERT_EQ(UninstallEntry(), 0u);
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kMq5Verb + "\\command"), other);
}

} // namespace

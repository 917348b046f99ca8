// The setup as a user meets it: a silent install for the current user, "Compile" used through
// the shell, an upgrade in place through the setup's dialogs, and a silent uninstall from the
// entry in Apps & features that takes away what Tarvex wrote and nothing else.
#include "Road.h"
#include "sys/Handles.h"

#include <msi.h>
#include <shlobj.h>

namespace {

using testing_support::KeyExists;
using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::Wide;

constexpr DWORD kSetupMs = 120000;
const std::string kVerb = "MQLEditor4.File\\shell\\Compile";
const std::string kEditorVerb = "MQLEditor4.File\\shell\\open\\command";
const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A REG_SZ value without its terminating zero; "<none>" when it is missing.
std::string Text(HKEY root, const std::string& key, const std::string& name = "") {
    std::string data;
    return testing_support::QueryValue(root, key, name, data) ? data.substr(0, data.find('\0'))
                                                              : "<none>";
}

std::string Folder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return testing_support::Utf8(path);
}

// Runs a program of the system folder to its end; its exit code.
DWORD RunSystem(const std::string& program, const std::string& arguments) {
    driver::Program run(Folder(CSIDL_SYSTEM) + "\\" + program, arguments);
    DWORD code = 99;
    EXPECT_TRUE(run.WaitForExit(kSetupMs, &code)) << program << " " << arguments;
    return code;
}

std::string Package(const char* version) {
    return "/i \"" + testing_support::BuildFolder() + "\\setup\\Tarvex-" + version + ".msi\"";
}

std::string ImageOf(DWORD pid) {
    wchar_t path[MAX_PATH] = L"";
    DWORD length = MAX_PATH;
    const sys::unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    QueryFullProcessImageNameW(process.get(), 0, path, &length);
    return testing_support::Utf8(path);
}

// Apps & features' entries named Tarvex: the product codes, under the user's and the machine's
// uninstall keys.
std::vector<std::pair<HKEY, std::string>> Entries() {
    std::vector<std::pair<HKEY, std::string>> entries;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        sys::unique_hkey list;
        char code[256];
        RegOpenKeyExA(root, kUninstall.c_str(), 0, KEY_READ, list.put());
        for (DWORD i = 0; list && RegEnumKeyA(list.get(), i, code, sizeof code) == 0; ++i) {
            if (Text(root, kUninstall + "\\" + code, "DisplayName") == "Tarvex") {
                entries.push_back({root, kUninstall + "\\" + code});
            }
        }
    }
    return entries;
}

// Runs the entry's uninstall command as Apps & features would, silently.
DWORD Uninstall(const std::pair<HKEY, std::string>& entry) {
    const std::string command = Text(entry.first, entry.second, "UninstallString");
    const auto blank = command.find(' ');
    return RunSystem(command.substr(0, blank), command.substr(blank + 1) + " /qn");
}

// A control of the setup's dialog, by its caption or class, once the dialog shows it.
driver::ControlInfo WaitForControl(DWORD pid, const std::string& text) {
    driver::ControlInfo found;
    driver::WaitUntil(
        [&] {
            const HWND dialog = driver::FindWindowOf(pid, "MsiDialogCloseClass", "Tarvex Setup");
            if (dialog == nullptr) {
                return false;
            }
            for (const auto& control : driver::ListControls(dialog)) {
                if (control.caption == text || control.className == text) {
                    found = control;
                }
            }
            return found.handle != nullptr;
        },
        kSetupMs);
    return found;
}

class Setup : public e2e::Road {
protected:
    void SetUp() override {
        // MetaEditor's association with a verb of its own, and a verb the program left in the
        // user's classes when HKEY_CLASSES_ROOT was refused to it.
        testing_support::SetText(HKEY_CLASSES_ROOT, ".mq4", "", "MQLEditor4.File");
        testing_support::SetText(HKEY_CLASSES_ROOT, kEditorVerb, "",
                                 "\"C:\\MetaEditor.exe\" \"%1\"");
        testing_support::SetText(HKEY_CURRENT_USER, "Software\\Classes\\" + kVerb + "\\command", "",
                                 "\"C:\\Tarvex.exe\" \"%1\"");
    }
    void TearDown() override {
        for (const auto& left : Entries()) {
            Uninstall(left);
        }
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\open");
        Road::TearDown();
    }

    // One entry in Apps & features, of that version, with the program's size and icon.
    static void ExpectOneEntry(const char* version, const std::string& exe) {
        const auto entries = Entries();
        ASSERT_EQ(entries.size(), 1u);
        const auto& [root, key] = entries[0];
        EXPECT_EQ(Text(root, key, "DisplayVersion"), version);
        EXPECT_EQ(Text(root, key, "Publisher"), "Brenholt");
        EXPECT_EQ(Text(root, key, "Size"), std::to_string((ReadBytes(exe).size() + 1023) / 1024));
        char icon[MAX_PATH] = "";
        DWORD length = MAX_PATH;
        const std::string code = key.substr(key.rfind('\\') + 1);
        EXPECT_EQ(MsiGetProductInfoA(code.c_str(), "ProductIcon", icon, &length), 0u);
        EXPECT_EQ(ReadBytes(icon).substr(0, 4), std::string("\0\0\1\0", 4)) << icon;
    }
};

TEST_F(Setup, InstallsForTheUserUpgradesInPlaceAndRemovesWhatTarvexWrote) {
    const std::string build = testing_support::BuildFolder();
    const std::string exe = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tarvex\\Tarvex.exe";
    const std::string shortcut = Folder(CSIDL_PROGRAMS) + "\\Tarvex.lnk";
    e2e::StoreOptions("2", "0", "1");

    // A silent install: the program, its verb, the shortcut, the entry.
    ASSERT_EQ(RunSystem("msiexec.exe", Package(TARVEX_VERSION) + " /qn"), 0u);
    EXPECT_EQ(ReadBytes(exe), ReadBytes(build + "\\Tarvex.exe"));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kVerb + "\\command"), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kVerb), "<none>");
    EXPECT_NE(ReadBytes(shortcut).find(exe), std::string::npos) << "the shortcut's target";
    ExpectOneEntry(TARVEX_VERSION, exe);

    // "Compile" in the context menu runs the installed program.
    const std::string source = Source("Script", "from the menu.mq4");
    const sys::unique_handle process(driver::InvokeVerb("Compile", source));
    ASSERT_TRUE(process);
    EXPECT_EQ(ImageOf(GetProcessId(process.get())), exe);
    EXPECT_EQ(driver::AnswerMessageBox(GetProcessId(process.get()), IDOK).text,
              "The Script has been installed!");
    EXPECT_EQ(WaitForSingleObject(process.get(), e2e::kTimeoutMs), WAIT_OBJECT_0);
    const std::string compiled = mt.KindFolder("Script") + "\\from the menu.mq4";
    ASSERT_EQ(mt.Runs().size(), 1u);
    EXPECT_EQ(mt.Runs()[0].commandLine, "metalang -q \"" + compiled + "\"");

    // The next version through the dialogs: icon and licence, Install once it is accepted,
    // and the options window at the end.
    {
        driver::Program setup(Folder(CSIDL_SYSTEM) + "\\msiexec.exe", Package(TARVEX_NEXT_VERSION));
        const auto licence = WaitForControl(setup.Pid(), "RichEdit20W");
        EXPECT_NE(licence.caption.find("Copyright (c) 2026 Brenholt"), std::string::npos);
        bool icon = false;
        for (const auto& control : driver::ListControls(licence.parent)) {
            icon |= (control.style & SS_TYPEMASK) == SS_ICON &&
                    SendMessageW(control.handle, STM_GETICON, 0, 0) != 0;
        }
        EXPECT_TRUE(icon);
        const auto install = WaitForControl(setup.Pid(), "&Install");
        EXPECT_FALSE(IsWindowEnabled(install.handle)) << "before the licence is accepted";
        driver::PressButton(
            WaitForControl(setup.Pid(), "I &accept the terms of the licence").handle);
        ASSERT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(install.handle) != FALSE; }));
        driver::PressButton(install.handle);
        EXPECT_EQ(WaitForControl(setup.Pid(), "&Open Tarvex's options now").check, BST_CHECKED);
        driver::PressButton(WaitForControl(setup.Pid(), "&Finish").handle);
        DWORD code = 99;
        EXPECT_TRUE(setup.WaitForExit(kSetupMs, &code));
        EXPECT_EQ(code, 0u);
    }
    HWND options = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (options = FindWindowW(L"frMain", nullptr)); },
                                  e2e::kTimeoutMs));
    DWORD optionsPid = 0;
    GetWindowThreadProcessId(options, &optionsPid);
    EXPECT_EQ(ImageOf(optionsPid), exe);
    PostMessageW(options, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(options); }, e2e::kTimeoutMs));

    // Upgraded in place: the newer program, the options as they were, one entry; an older
    // setup does not go over it.
    EXPECT_EQ(ReadBytes(exe), ReadBytes(build + "\\TarvexNext.exe"));
    EXPECT_EQ(Text(HKEY_CURRENT_USER, e2e::kSettingsKey, "op") +
                  Text(HKEY_CURRENT_USER, e2e::kSettingsKey, "del") +
                  Text(HKEY_CURRENT_USER, e2e::kSettingsKey, "tell"),
              "201");
    ExpectOneEntry(TARVEX_NEXT_VERSION, exe);
    EXPECT_NE(RunSystem("msiexec.exe", Package(TARVEX_VERSION) + " /qn"), 0u);
    EXPECT_EQ(ReadBytes(exe), ReadBytes(build + "\\TarvexNext.exe"));

    // A silent uninstall from the entry removes what Tarvex wrote and nothing else.
    ASSERT_EQ(Uninstall(Entries().at(0)), 0u);
    const struct {
        const char* what;
        bool there;
        bool expected;
    } after[] = {
        {"the program", PathExists(exe), false},
        {"the shortcut", PathExists(shortcut), false},
        {"the verb", KeyExists(HKEY_CLASSES_ROOT, kVerb), false},
        {"the verb in the user's classes",
         KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\" + kVerb), false},
        {"the options", KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey), false},
        {"the entry in Apps & features", !Entries().empty(), false},
        {"MetaEditor's own verb", KeyExists(HKEY_CLASSES_ROOT, kEditorVerb), true},
        {"the association of .mq4", KeyExists(HKEY_CLASSES_ROOT, ".mq4"), true},
        {"the terminal's key",
         Text(HKEY_CURRENT_USER, testing_support::kTerminalKey, "InstallPath") != "<none>", true},
        {"the source", PathExists(source), true},
        {"the source in the terminal", PathExists(compiled), true},
    };
    for (const auto& check : after) {
        EXPECT_EQ(check.there, check.expected) << check.what;
    }
}

} // namespace

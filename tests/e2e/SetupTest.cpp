// The setup as a user meets it: a silent install for the current user, "Compile" used through
// the shell, an upgrade in place through the setup's dialogs, and a silent uninstall from the
// entry in Apps & features that takes away what Tarvex wrote and nothing else.
#include "Road.h"

#include <msi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace {

using testing_support::KeyExists;
using testing_support::PathExists;
using testing_support::ReadBytes;

constexpr DWORD kSetupMs = 120000;
constexpr const char* kVerbKey = "MQLEditor4.File\\shell\\Compile";
constexpr const char* kCommandKey = "MQLEditor4.File\\shell\\Compile\\command";
constexpr const char* kUserVerbKey = "Software\\Classes\\MQLEditor4.File\\shell\\Compile";
constexpr const char* kEditorVerbKey = "MQLEditor4.File\\shell\\open\\command";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A REG_SZ value without its terminating zero; "<none>" when it is missing.
std::string Text(HKEY root, const std::string& key, const std::string& name) {
    std::string data;
    if (!testing_support::QueryValue(root, key, name, data)) {
        return "<none>";
    }
    return data.substr(0, data.find('\0'));
}

// Compared as a whole, reported by name: a program's bytes make no readable message.
bool SameBytes(const std::string& path, const std::string& expected) {
    return PathExists(path) && ReadBytes(path) == ReadBytes(expected);
}

std::string KnownFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string SystemProgram(const std::string& name) {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

std::string Package(const char* version) {
    return testing_support::BuildFolder() + "\\setup\\Tarvex-" + version + ".msi";
}

// Runs a program of the system folder to its end; its exit code.
DWORD Run(const std::string& program, const std::string& arguments) {
    driver::Program run(SystemProgram(program), arguments);
    DWORD code = 99;
    EXPECT_TRUE(run.WaitForExit(kSetupMs, &code)) << program << " " << arguments;
    return code;
}

DWORD Msiexec(const std::string& arguments) {
    return Run("msiexec.exe", arguments);
}

std::string ImageOf(DWORD pid) {
    char path[MAX_PATH] = "";
    DWORD length = MAX_PATH;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process != nullptr) {
        QueryFullProcessImageNameA(process, 0, path, &length);
        CloseHandle(process);
    }
    return path;
}

std::string ShortcutTarget(const std::string& link) {
    char target[MAX_PATH] = "<none>";
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        const std::wstring wide(link.begin(), link.end());
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            shellLink->GetPath(target, MAX_PATH, nullptr, 0);
        }
        file->Release();
        shellLink->Release();
    }
    return target;
}

// An entry of Apps & features: the uninstall keys of the user and of the machine.
struct Entry {
    std::string productCode, version, publisher, uninstall, sizeKiB;
};

std::vector<Entry> TarvexEntries() {
    std::vector<Entry> entries;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY list = nullptr;
        if (RegOpenKeyExA(root, kUninstallKey, 0, KEY_READ, &list) != ERROR_SUCCESS) {
            continue;
        }
        char code[256];
        for (DWORD index = 0; RegEnumKeyA(list, index, code, sizeof code) == ERROR_SUCCESS;
             ++index) {
            const std::string key = std::string(kUninstallKey) + "\\" + code;
            if (Text(root, key, "DisplayName") == "Tarvex") {
                entries.push_back({code, Text(root, key, "DisplayVersion"),
                                   Text(root, key, "Publisher"), Text(root, key, "UninstallString"),
                                   Text(root, key, "Size")});
            }
        }
        RegCloseKey(list);
    }
    return entries;
}

// Runs an entry's uninstall command as Apps & features would, silently.
DWORD Uninstall(const Entry& entry) {
    const auto blank = entry.uninstall.find(' ');
    return Run(entry.uninstall.substr(0, blank), entry.uninstall.substr(blank + 1) + " /qn");
}

// A control of the process's dialog, by its caption (or class), once a dialog shows it.
driver::ControlInfo WaitForControl(DWORD pid, const std::string& text) {
    driver::ControlInfo found;
    driver::WaitUntil(
        [&] {
            HWND dialog = driver::FindWindowOf(pid, "MsiDialogCloseClass", "Tarvex Setup");
            for (const auto& control :
                 dialog ? driver::ListControls(dialog) : std::vector<driver::ControlInfo>()) {
                if (control.caption == text || control.className == text) {
                    found = control;
                    return true;
                }
            }
            return false;
        },
        kSetupMs);
    return found;
}

class Setup : public e2e::Road {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        // As MetaEditor's installer associates its sources, with a verb of its own.
        SetText(HKEY_CLASSES_ROOT, ".mq4", "MQLEditor4.File");
        SetText(HKEY_CLASSES_ROOT, kEditorVerbKey, "\"C:\\MetaEditor.exe\" \"%1\"");
        // Where the program registers itself when HKCR is refused to it.
        SetText(HKEY_CURRENT_USER, std::string(kUserVerbKey) + "\\command", "\"C:\\Tarvex.exe\"");
    }
    void TearDown() override {
        for (const Entry& left : TarvexEntries()) {
            Uninstall(left);
        }
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, "MQLEditor4.File\\shell\\open");
        CoUninitialize();
        Road::TearDown();
    }
    static void SetText(HKEY root, const std::string& key, const std::string& text) {
        testing_support::SetValue(root, key, "", REG_SZ, text + '\0');
    }

    // One entry in Apps & features, of that version, with the installed program's size.
    static Entry ExpectOneEntry(const char* version, const std::string& exe) {
        const auto entries = TarvexEntries();
        EXPECT_EQ(entries.size(), 1u);
        if (entries.empty()) {
            return {};
        }
        const Entry& entry = entries[0];
        EXPECT_EQ(entry.version, version);
        EXPECT_EQ(entry.publisher, "Brenholt");
        EXPECT_EQ(entry.sizeKiB, std::to_string((ReadBytes(exe).size() + 1023) / 1024));
        char icon[MAX_PATH] = "";
        DWORD length = MAX_PATH;
        EXPECT_EQ(MsiGetProductInfoA(entry.productCode.c_str(), "ProductIcon", icon, &length),
                  static_cast<UINT>(ERROR_SUCCESS));
        EXPECT_EQ(ReadBytes(icon).substr(0, 4), std::string("\0\0\1\0", 4)) << icon;
        return entry;
    }
};

TEST_F(Setup, InstallsForTheUserUpgradesInPlaceAndRemovesWhatTarvexWrote) {
    const std::string build = testing_support::BuildFolder();
    const std::string exe = KnownFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tarvex\\Tarvex.exe";
    const std::string shortcut = KnownFolder(CSIDL_PROGRAMS) + "\\Tarvex.lnk";
    e2e::StoreOptions("2", "0", "1");

    // A silent install: the program, its verb, the shortcut, the entry.
    ASSERT_EQ(Msiexec("/i \"" + Package(TARVEX_VERSION) + "\" /qn"), 0u);
    EXPECT_TRUE(SameBytes(exe, build + "\\Tarvex.exe"));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kCommandKey, ""), "\"" + exe + "\" \"%1\"");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kVerbKey, ""), "<none>");
    EXPECT_EQ(ShortcutTarget(shortcut), exe);
    ExpectOneEntry(TARVEX_VERSION, exe);

    // "Compile" in the context menu runs the installed program.
    const std::string source = Source("Script", "from the menu.mq4");
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "Compile";
    info.lpFile = source.c_str();
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&info));
    EXPECT_EQ(ImageOf(GetProcessId(info.hProcess)), exe);
    EXPECT_EQ(driver::AnswerMessageBox(GetProcessId(info.hProcess), "OK").text,
              "The Script has been installed!");
    EXPECT_EQ(WaitForSingleObject(info.hProcess, e2e::kTimeoutMs), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
    const std::string compiled = mt.KindFolder("Script") + "\\from the menu.mq4";
    ASSERT_EQ(mt.Runs().size(), 1u);
    EXPECT_EQ(mt.Runs()[0].commandLine, "metalang -q \"" + compiled + "\"");

    // The next version through the dialogs: licence, install, and the options at the end.
    {
        driver::Program setup(SystemProgram("msiexec.exe"),
                              "/i \"" + Package(TARVEX_NEXT_VERSION) + "\"");
        const auto licence = WaitForControl(setup.Pid(), "RichEdit20W");
        EXPECT_NE(licence.caption.find("Copyright (c) 2026 Brenholt"), std::string::npos);
        bool iconShown = false;
        for (const auto& control : driver::ListControls(licence.parent)) {
            iconShown |= control.className == "Static" &&
                         (control.style & SS_TYPEMASK) == SS_ICON &&
                         SendMessageA(control.handle, STM_GETICON, 0, 0) != 0;
        }
        EXPECT_TRUE(iconShown);
        const auto install = WaitForControl(setup.Pid(), "&Install");
        EXPECT_FALSE(IsWindowEnabled(install.handle)) << "before the licence is accepted";
        driver::PressButton(
            WaitForControl(setup.Pid(), "I &accept the terms of the licence").handle);
        ASSERT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(install.handle) != FALSE; }));
        driver::PressButton(install.handle);
        const auto openOptions = WaitForControl(setup.Pid(), "&Open Tarvex's options now");
        EXPECT_EQ(openOptions.check, BST_CHECKED);
        driver::PressButton(WaitForControl(setup.Pid(), "&Finish").handle);
        DWORD code = 99;
        EXPECT_TRUE(setup.WaitForExit(kSetupMs, &code));
        EXPECT_EQ(code, 0u);
    }
    HWND options = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (options = FindWindowA("frMain", nullptr)); },
                                  e2e::kTimeoutMs));
    DWORD optionsPid = 0;
    GetWindowThreadProcessId(options, &optionsPid);
    EXPECT_EQ(ImageOf(optionsPid), exe);
    PostMessageA(options, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(options); }, e2e::kTimeoutMs));

    // Upgraded in place: the newer program, the options as they were, one entry.
    EXPECT_TRUE(SameBytes(exe, build + "\\TarvexNext.exe"));
    for (const auto& [name, value] : {std::pair{"op", "2"}, {"del", "0"}, {"tell", "1"}}) {
        EXPECT_EQ(Text(HKEY_CURRENT_USER, e2e::kSettingsKey, name), value) << name;
    }
    const Entry entry = ExpectOneEntry(TARVEX_NEXT_VERSION, exe);
    // An older setup does not go over a newer install.
    EXPECT_NE(Msiexec("/i \"" + Package(TARVEX_VERSION) + "\" /qn"), 0u);
    EXPECT_TRUE(SameBytes(exe, build + "\\TarvexNext.exe"));

    // A silent uninstall from the entry removes what Tarvex wrote and nothing else.
    ASSERT_EQ(Uninstall(entry), 0u);
    std::string installPath;
    const struct {
        const char* what;
        bool there;
        bool expected;
    } after[] = {
        {"the program", PathExists(exe), false},
        {"the shortcut", PathExists(shortcut), false},
        {"the verb", KeyExists(HKEY_CLASSES_ROOT, kVerbKey), false},
        {"the verb in the user's classes", KeyExists(HKEY_CURRENT_USER, kUserVerbKey), false},
        {"the options", KeyExists(HKEY_CURRENT_USER, e2e::kSettingsKey), false},
        {"the entry in Apps & features", !TarvexEntries().empty(), false},
        {"MetaEditor's own verb", KeyExists(HKEY_CLASSES_ROOT, kEditorVerbKey), true},
        {"the association of .mq4", KeyExists(HKEY_CLASSES_ROOT, ".mq4"), true},
        {"the terminal's key",
         testing_support::QueryValue(HKEY_CURRENT_USER, testing_support::kTerminalKey,
                                     "InstallPath", installPath),
         true},
        {"the source", PathExists(source), true},
        {"the source in the terminal", PathExists(compiled), true},
    };
    for (const auto& check : after) {
        EXPECT_EQ(check.there, check.expected) << check.what;
    }
}

} // namespace

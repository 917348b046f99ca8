// One source through the whole road: placed, compiled, opened, told, deleted.
#include "Road.h"
#include "sys/CodePage.h"
#include "sys/Handles.h"
#include "sys/SysError.h"
#include "terminal/Turn.h"

#include <cstring>
#include <set>

namespace {

using e2e::Encoding;
using e2e::ExitCodeOf;
using e2e::Road;
using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::StandInTerminal;

// One source of each kind and encoding, under names as users' systems write them, on a terminal
// laid out before build 600. cmd reads its batch files in the console (OEM) code page and
// metalang its command line in the ANSI one: the tools get the true path, or the program says
// plainly why it cannot be, before anything is copied. What each name needs is asked of the code
// pages of the system the test runs on.
struct Case {
    const char* name;
    const char* kind;
    const char* file; // the source's file name
    Encoding encoding = Encoding::Ansi;
    const char* terminal = "MetaTrader 4"; // the terminal folder's own name
    const char* folder = "src";            // the source's own folder name
    const char* decoy = "none";            // another file in that folder, which must stay as it is
};

class Installs : public Road, public ::testing::WithParamInterface<Case> {};

TEST_P(Installs, TheSourceIntoItsKindFolderUnderItsTruePathOrNothing) {
    const Case& c = GetParam();
    StandInTerminal terminal(c.terminal);
    e2e::StoreOptions("1", "1", "1");
    const std::string source = Source(c.kind, c.file, sources / c.folder, c.encoding);
    const std::string bytes = ReadBytes(source);
    const std::string decoy = sources / c.folder + "\\" + c.decoy;
    testing_support::WriteBytes(decoy, "another file");
    const std::string installed = terminal.KindFolder(c.kind) + "\\" + c.file;
    // The copy takes the name as the file system spells it, not as the argument does.
    const std::string argument = source.substr(0, source.size() - 3) + "MQ4";
    auto tarvex = Start("\"" + argument + "\"");
    const auto shown = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
    if (testing_support::InCodePage(installed, CP_ACP).empty() ||
        testing_support::InCodePage(installed, CP_OEMCP).empty()) {
        EXPECT_EQ(shown.look, "Tarvex: OK, stop");
        EXPECT_EQ(shown.text.rfind("The compiler cannot be handed this path:\r\n" + installed, 0),
                  0u)
            << shown.text;
        EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
        EXPECT_FALSE(PathExists(installed));
        EXPECT_EQ(ReadBytes(source), bytes);
        EXPECT_TRUE(terminal.Runs().empty());
    } else {
        EXPECT_EQ(shown.look + shown.text,
                  std::string("Tarvex: OKThe ") + c.kind + " has been installed!");
        EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
        EXPECT_EQ(ReadBytes(installed), bytes); // byte for byte, mark included
        EXPECT_FALSE(PathExists(source));       // deleted once installed
        const auto runs = terminal.Runs(2);
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + installed + "\"");
        EXPECT_EQ(runs[1].commandLine, "MetaEditor \"" + installed + "\"");
        for (const auto& run : runs) {
            EXPECT_TRUE(run.fileFound && run.batchLine == run.commandLine &&
                        run.folder == terminal.Path())
                << run.program << " in " << run.folder << " from " << run.batchLine;
        }
        EXPECT_FALSE(PathExists(terminal.Path() + "\\compile.bat"));
    }
    EXPECT_EQ(ReadBytes(decoy), "another file");
    EXPECT_FALSE(PathExists(terminal.KindFolder(c.kind) + "\\" + c.decoy));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Installs,
    ::testing::Values(
        Case{"ExpertAdvisor", "Expert Advisor", "ea.mq4"},
        Case{"Indicator", "Indicator", "Trend.MQ4"}, Case{"Script", "Script", "my script.mq4"},
        Case{"Library", "Library", "l.mq4"},
        Case{"ExpertAdvisorUtf16LE", "Expert Advisor", "e.mq4", Encoding::Utf16LE},
        Case{"LibraryUtf16BE", "Library", "l.mq4", Encoding::Utf16BE},
        Case{"ScriptUtf8", "Script", "s.mq4", Encoding::Utf8Mark},
        Case{"AmpersandAndPercent", "Script", "ea & 50% more.mq4", Encoding::Ansi, "100% MT & Co"},
        Case{"Accented", "Indicator", u8"Café ü.mq4"},
        Case{"AccentedTerminal", "Indicator", "p.mq4", Encoding::Ansi, u8"MetaTrader Bénin"},
        Case{"Cyrillic", "Indicator", u8"Пример.mq4"},
        Case{"CyrillicTerminal", "Indicator", "p.mq4", Encoding::Ansi, u8"Терминал"},
        Case{"Chinese", "Indicator", u8"示例.mq4"}, Case{"Euro", "Indicator", u8"€uro.mq4"},
        Case{"CyrillicChineseAndAnEmoji", "Script", u8"Стратегия 策略 📈.mq4"},
        Case{"EuroInTheSourcesFolderOnly", "Indicator", "p.mq4", Encoding::Ansi, "MetaTrader 4",
             u8"€ src"},
        Case{"LookAlikeOfAnotherFile", "Indicator", u8"Łódź.mq4", Encoding::Ansi, "MetaTrader 4",
             "src", u8"Lódz.mq4"}),
    [](const auto& info) { return std::string(info.param.name); });

// Terminals of build 600 and later beside those laid out before: which one serves a source,
// where the source goes and how the editor is run on it, or why nothing is copied at all.
struct Current {
    const char* name;
    std::vector<testing_support::Layout> terminals; // made in this order, named T0, T1, ...
    int serves;                // the terminal that gets the source; -1: the run is refused
    bool registered = true;    // T0's InstallPath is registered
    const char* message = "";  // how the one message box begins: the path it names in braces
    bool inKindFolder = false; // the source lies in the kind folder of the terminal it serves
    int instances = 1;
};

class CurrentTerminals : public Road, public ::testing::WithParamInterface<Current> {};

TEST_P(CurrentTerminals, ServeTheSourceFromTheirDataFolderWithTheirEditor) {
    const Current& c = GetParam();
    std::vector<std::unique_ptr<StandInTerminal>> mts;
    for (const auto& layout : c.terminals) {
        mts.push_back(std::make_unique<StandInTerminal>("T" + std::to_string(mts.size()), layout));
    }
    testing_support::ForgetTerminal();
    if (c.registered) {
        mts[0]->Register();
    }
    e2e::StoreOptions("1", "1", "0");
    std::string message = c.message;
    const auto result = message.find("Result: "); // the editor's compile fails so
    SetEnvironmentVariableA("TARVEX_STANDIN_RESULT",
                            result == std::string::npos ? nullptr : &message[result + 8]);
    const StandInTerminal& served = *mts[std::max(c.serves, 0)];
    const std::string kinds = served.KindFolder("Indicator");
    const auto name = [](int i) { return "ind " + std::to_string(i) + ".mq4"; };
    std::vector<std::unique_ptr<driver::Program>> runs;
    for (int i = 0; i < c.instances; ++i) {
        runs.push_back(
            Start("\"" + Source("Indicator", name(i), c.inKindFolder ? kinds : "") + "\""));
    }
    for (const auto& [field, path] : {std::pair{"{dest}", kinds + "\\" + name(0)},
                                      {"{kinds}", kinds},
                                      {"{folder}", served.Path()}}) {
        if (message.find(field) != std::string::npos) {
            message.replace(message.find(field), strlen(field), path);
        }
    }
    if (!message.empty()) {
        const auto box = driver::AnswerMessageBox(runs[0]->Pid(), IDOK);
        EXPECT_EQ(box.look, c.serves >= 0 ? "Tarvex: OK, warning" : "Tarvex: OK, stop");
        EXPECT_EQ(box.text.rfind(message, 0), 0u) << box.text;
    }
    SetEnvironmentVariableA("TARVEX_STANDIN_RESULT", nullptr);
    for (auto& run : runs) {
        EXPECT_EQ(ExitCodeOf(*run), c.serves >= 0 ? 0u : 2u);
    }
    std::multiset<std::string> commands;
    for (const auto& run : served.Runs(c.serves >= 0 ? 2 * c.instances : 0)) {
        EXPECT_TRUE(run.fileFound && run.folder == served.Path()) << run.commandLine;
        commands.insert(run.commandLine);
    }
    const std::string editor = "\"" + served.Path() + "\\metaeditor.exe\" ";
    const std::string portable = served.Portable() ? " /portable" : "";
    const bool legacy = PathExists(served.Path() + "\\metalang.exe");
    for (int i = 0; i < c.instances; ++i) {
        const std::string path = kinds + "\\" + name(i), quoted = "\"" + path + "\"";
        EXPECT_EQ(PathExists(path), c.serves >= 0);
        EXPECT_EQ(PathExists(sources / name(i)), c.serves < 0) << "deleted once copied";
        EXPECT_EQ(PathExists(path.substr(0, path.size() - 3) + "ex4"),
                  c.serves >= 0 && result == std::string::npos);
        for (const std::string& command :
             {legacy ? "metalang -q " + quoted : editor + "/compile:" + quoted + " /log" + portable,
              legacy ? "MetaEditor " + quoted : editor + quoted + portable}) {
            EXPECT_EQ(commands.count(command), c.serves >= 0 ? 1u : 0u) << command;
        }
    }
}

using testing_support::Layout;
const char* const kNotCompiled = "This file was installed but did not compile:\r\n{dest}\r\n\r\n"
                                 "Result: 2 errors, 1 warnings";
const char* const kNoData = "This MetaTrader 4 keeps its programs in a data folder, and none was "
                            "found for it:\r\n{folder}\r\n";
const char* const kNoKinds = "This terminal has no folder for this kind of program:\r\n{kinds}";
INSTANTIATE_TEST_SUITE_P(
    Layouts, CurrentTerminals,
    ::testing::Values(
        Current{"Registered", {Layout{}}, 0}, Current{"Portable", {Layout{"portable"}}, 0},
        Current{"RegisteredNamedInOtherCaseWithABackslash", {Layout{"utf16 upper slash"}}, 0},
        Current{"FoundWithoutInstallPath", {Layout{}}, 0, false},
        Current{"TheOneUsedLast", {Layout{"utf16", 3}, {"ansi slash", 1}, {"utf16"}}, 1, false},
        Current{"InAnotherTerminalsKindFolder", {Layout{}, Layout{}}, 1, true, "", true},
        Current{"FailedCompileToldWithTellOff", {Layout{}}, 0, true, kNotCompiled},
        Current{"NoDataFolder", {Layout{"none"}}, -1, true, kNoData},
        Current{"MissingKindFolder", {Layout{"utf16 bare"}}, -1, true, kNoKinds},
        Current{"DataFolderOutsideTheCodePage", {Layout{"utf16 cyrillic"}}, 0, false},
        Current{"ThreeAtOnce", {Layout{}}, 0, true, "", false, 3},
        Current{"MetalangBesideTheEditorIsLegacy", {Layout{"utf16 metalang"}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the source lies and what its kind folder holds decide what is asked, copied and
// compiled; the source goes only once a copy of it is in place, and a read-only one is reported.
TEST_F(Road, PlacesTheSourceAndDeletesItOnlyAfterAGoodCopy) {
    e2e::StoreOptions("2", "1", "1");
    const std::string scripts = mt.KindFolder("Script");
    const std::string script = e2e::SourceText("Script");
    const std::string asked = "Exist: Yes No, information|The file is already exist! Do you "
                              "want to replace it?";
    const std::string told = "Tarvex: OK|The Script has been installed!";
    const std::string stop = "Tarvex: OK, stop|Could not delete the file:\r\n" + sources / "";
    const struct {
        std::string source;
        bool older, readOnly; // an older copy in the kind folder; a read-only source
        std::vector<std::pair<int, std::string>> boxes; // the button pressed, what was shown
        bool replaced, kept;
        DWORD exitCode;
    } cases[] = {
        {sources / "a.mq4", true, false, {{IDNO, asked}}, false, true, 0},
        {sources / "a.mq4", true, false, {{IDYES, asked}, {IDOK, told}}, true, false, 0},
        {scripts + "\\b.mq4", false, false, {{IDOK, told}}, true, true, 0}, // compiled in place
        {sources / "experts\\scripts\\c.mq4", false, false, {{IDOK, told}}, true, false, 0},
        {sources / "d.mq4", false, true, {{IDOK, told}, {IDOK, stop + "d.mq4"}}, true, true, 2},
    };
    for (const auto& c : cases) {
        const std::string installed = scripts + c.source.substr(c.source.rfind('\\'));
        if (c.older) {
            testing_support::WriteBytes(installed, "older copy");
        }
        testing_support::MakeFolder(c.source.substr(0, c.source.rfind('\\')));
        testing_support::WriteBytes(c.source, script);
        SetFileAttributesW(testing_support::Wide(c.source).c_str(),
                           c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        const std::size_t before = mt.Runs().size();
        auto tarvex = Start("\"" + c.source + "\"");
        for (const auto& [button, expected] : c.boxes) {
            const auto box = driver::AnswerMessageBox(tarvex->Pid(), button);
            EXPECT_EQ((box.look + "|" + box.text).rfind(expected, 0), 0u) << box.text;
        }
        EXPECT_EQ(ExitCodeOf(*tarvex), c.exitCode) << c.source;
        EXPECT_EQ(ReadBytes(installed), c.replaced ? script : "older copy");
        EXPECT_EQ(PathExists(c.source), c.kept) << c.source;
        const auto runs = mt.Runs(before + c.replaced);
        ASSERT_EQ(runs.size(), before + c.replaced);
        EXPECT_TRUE(!c.replaced || runs.back().commandLine == "metalang -q \"" + installed + "\"");
        SetFileAttributesW(testing_support::Wide(c.source).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// A run that cannot go on ends with one clear message, and nothing is lost or half done.
TEST_F(Road, FailuresEndWithAClearMessageAndLoseNothing) {
    e2e::StoreOptions("1", "1", "1");
    const std::string open = "Could not open the source file:\r\n";
    const struct {
        std::string argument;
        std::string message; // how it starts
        DWORD code;          // the system error it ends with, in the system's words
    } cases[] = {
        {sources / "gone.mq4", open + sources / "gone.mq4", ERROR_FILE_NOT_FOUND},
        {sources / "folder.mq4", open + sources / "folder.mq4", ERROR_ACCESS_DENIED},
        {sources / "locked.mq4", open + sources / "locked.mq4", ERROR_SHARING_VIOLATION},
        {sources / std::string(6000, 'a') + ".mq4", open + sources.Path(), // too long to be
         ERROR_FILE_NOT_FOUND},                                            // found, in Wine's words
        {sources / "bad<|>.mq4", open + sources / "bad<|>.mq4", ERROR_INVALID_NAME},
        {sources / "in the way.mq4", // a folder of its name in the kind folder
         "Could not copy the source file to:\r\n" + mt.KindFolder("Script") + "\\in the way.mq4",
         ERROR_ACCESS_DENIED},
        {sources / "lost.mq4", "Could not copy the source file to:\r\n" + mt.KindFolder("Script"),
         ERROR_PATH_NOT_FOUND},
        {sources / "ea.mq4", "No MetaTrader 4 installation was found", ERROR_SUCCESS},
    };
    testing_support::MakeFolder(sources / "folder.mq4");
    testing_support::MakeFolder(mt.KindFolder("Script") + "\\in the way.mq4");
    for (const char* name : {"locked.mq4", "in the way.mq4", "lost.mq4", "ea.mq4"}) {
        testing_support::WriteBytes(sources / name, e2e::SourceText("Script"));
    }
    const sys::unique_hfile lock(CreateFileW(testing_support::Wide(sources / "locked.mq4").c_str(),
                                             GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    for (const auto& c : cases) {
        if (c.argument == sources / "lost.mq4") {
            testing_support::RemoveTree(mt.KindFolder("Script"));
        } else if (c.argument == sources / "ea.mq4") {
            testing_support::ForgetTerminal();
        }
        const bool existed = PathExists(c.argument);
        auto tarvex = Start("\"" + c.argument + "\"", sources.Path());
        const auto error = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
        EXPECT_EQ(error.text.rfind(c.message, 0), 0u) << error.text;
        const std::string said = testing_support::Utf8(sys::SystemMessage(c.code));
        EXPECT_EQ(error.text.rfind(said) == error.text.size() - said.size(), c.code != 0)
            << error.text;
        EXPECT_EQ(error.look, "Tarvex: OK, stop");
        EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
        EXPECT_EQ(PathExists(c.argument), existed);
    }
    EXPECT_TRUE(mt.Runs().empty());
    EXPECT_FALSE(PathExists(sources / "NA")); // nothing written for a terminal that is not there
}

// Explorer starts one instance per selected file; they share the terminal's batch files, and
// an interpreter reads its batch file again by offset once its program ends. So a run keeps its
// turn until its editor's interpreter has ended, but nobody waits for it: the message comes
// while the editor is open, and the run ends with its turn.
TEST_F(Road, FiveInstancesAtOnceEachCompileAndOpenTheirOwnSource) {
    e2e::StoreOptions("1", "0", "1");
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", L"3000"); // the tools stay a while
    auto told = Start("\"" + Source("Script", "told.mq4") + "\"");
    EXPECT_EQ(driver::AnswerMessageBox(told->Pid(), IDOK).text, "The Script has been installed!");
    EXPECT_EQ(mt.Runs().size(), 1u) << "the compiler has ended, the editor (which records its run "
                                       "as it ends) has not";
    EXPECT_EQ(ExitCodeOf(*told), 0u);
    EXPECT_EQ(mt.Runs().size(), 2u) << "the run ended before its editor";
    testing_support::DeleteTree(HKEY_CURRENT_USER, e2e::kSettingsKey);
    testing_support::WriteBytes(mt.Path() + "\\standins.log", "");
    e2e::StoreOptions("1", "0", "0");
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", L"300");
    const char* kinds[] = {"Expert Advisor", "Indicator", "Script", "Library", "Indicator"};
    std::vector<std::string> installed;
    std::vector<std::unique_ptr<driver::Program>> instances;
    for (int i = 0; i < 5; ++i) {
        const std::string name = std::string(i + 1, 'x') + " source.mq4"; // of other lengths
        instances.push_back(Start("\"" + Source(kinds[i], name) + "\""));
        installed.push_back(mt.KindFolder(kinds[i]) + "\\" + name);
    }
    for (auto& instance : instances) {
        EXPECT_EQ(ExitCodeOf(*instance), 0u);
    }
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", nullptr);
    std::multiset<std::string> commands;
    for (const auto& run : mt.Runs(10)) {
        EXPECT_EQ(run.batchLine, run.commandLine) << "it ran another instance's batch file";
        commands.insert(run.commandLine);
    }
    for (const auto& path : installed) {
        for (const std::string command : {"metalang -q \"", "MetaEditor \""}) {
            EXPECT_EQ(commands.count(command + path + "\""), 1u) << command << path;
        }
    }
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
}

// Two sources of one name chosen together: whichever run copies first, the other asks before
// it replaces that copy (No here), and no source's bytes are lost.
TEST_F(Road, TwoSourcesOfOneNameAtOnceLoseNoBytes) {
    e2e::StoreOptions("2", "1", "0");
    const std::string installed = mt.KindFolder("Expert Advisor") + "\\same.mq4";
    for (int round = 0; round < 4; ++round) {
        testing_support::RemoveTree(installed);
        std::vector<std::unique_ptr<driver::Program>> runs;
        for (const char* folder : {"one", "two"}) {
            testing_support::MakeFolder(sources / folder);
            testing_support::WriteBytes(sources / folder + "\\same.mq4", folder);
            runs.push_back(Start("\"" + sources / folder + "\\same.mq4\""));
        }
        for (auto& run : runs) {
            if (driver::WaitForWindow(run->Pid(), "#32770", nullptr, 3000) != nullptr) {
                EXPECT_EQ(driver::AnswerMessageBox(run->Pid(), IDNO).look,
                          "Exist: Yes No, information");
            }
            EXPECT_EQ(ExitCodeOf(*run), 0u);
        }
        for (const char* folder : {"one", "two"}) {
            const std::string source = sources / folder + "\\same.mq4";
            EXPECT_TRUE(ReadBytes(installed) == folder ||
                        (PathExists(source) && ReadBytes(source) == folder))
                << source << ", round " << round;
        }
    }
}

// A turn on the terminal that never comes: nothing is written or run, and the run says which
// file it installed but left uncompiled.
TEST_F(Road, ATurnThatNeverComesIsReported) {
    e2e::StoreOptions("1", "0", "0");
    const terminal::Turn held(testing_support::Wide(mt.Path())); // by a run that never ends
    auto tarvex = Start("\"" + Source("Script", "waits.mq4") + "\"");
    const auto box = driver::AnswerMessageBox(tarvex->Pid(), IDOK, terminal::kTurnWaitMs + 20000);
    EXPECT_EQ(box.look + "|" + box.text,
              "Tarvex: OK, warning|This file was installed but not compiled or opened:\r\n" +
                  mt.KindFolder("Script") +
                  "\\waits.mq4\r\n\r\nOther runs of Tarvex kept this terminal busy too long.");
    EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
    EXPECT_TRUE(mt.Runs().empty());
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat") || PathExists(mt.Path() + "\\run.bat"));
}

} // namespace

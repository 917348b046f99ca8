// One source through the whole road: placed, compiled, opened, told, deleted.
#include "Road.h"
#include "sys/CodePage.h"
#include "sys/Handles.h"
#include "sys/SysError.h"
#include "terminal/Turn.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

using e2e::Encoding;

// A summary's first line, then its other lines in order: they come in the order the sources did.
std::string Sorted(const std::string& text) {
    std::multiset<std::string> lines;
    for (auto at = text.find("\r\n"); at != std::string::npos;) {
        const auto next = text.find("\r\n", at + 2);
        lines.insert(text.substr(at + 2, next - at - 2));
        at = next;
    }
    std::string sorted = text.substr(0, text.find("\r\n"));
    for (const std::string& line : lines) {
        sorted += "|" + line;
    }
    return sorted;
}
using e2e::ExitCodeOf;
using e2e::Road;
using testing_support::Layout;
using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::StandInTerminal;

// One source of each kind and encoding, under names as users' systems write them, on a terminal
// before build 600, whose tools read paths in the console and ANSI code pages of the system the
// test runs on: they get the true path, or the program says why not before copying anything.
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
        EXPECT_EQ(ExitCodeOf(*tarvex), 1u);
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

// Terminals as users keep them, of build 600 and later (and before, where runs take turns):
// which one serves a source, where the source goes, how the editor is run on it and what its
// verdict is, what the user is told, and whether the source stays. Sources (indicators unless
// told) have names of other lengths; the options compile (and open) and delete.
struct Current {
    const char* name;
    std::vector<testing_support::Layout> terminals; // made in this order, named T0, T1, ...
    int serves = 0;               // the terminal that gets the source; -1: the run is refused
    bool registered = true;       // T0's InstallPath is registered
    const char* where = "";       // below the served terminal's data folder; "": elsewhere
    const char* file = "ind.mq4"; // after the run's number
    const char* kind = "Indicator";
    Encoding encoding = Encoding::Ansi;
    bool tell = false;        // and the user is told its kind last
    const char* message = ""; // the first run's one message box: {dest}, {source}, {folder}
                              // (the terminal's), {kinds}, {error} (the system's words)
    DWORD error = 0;
    const char* result = nullptr;  // the editor's compile fails so
    const char* failing = nullptr; // only for sources whose names hold this
    int delayMs = 0;               // the editor takes that long
    bool keepTime = false;         // the .ex4 keeps the write time of the one before
    bool open = true;              // compile and open; else compile only
    bool compiled = true; // the editor wrote the .ex4; else the source is kept, and said so
    bool ran = true;      // the editor recorded its compile (and opening) of each source
    int instances = 1;
    bool gathered = false;    // started as Explorer starts them: one run, whose message is one
                              // summary, its lines in any order
    bool heldTurn = false;    // by a run that never ends
    bool blockedTurn = false; // the turn's name is taken by an object of another kind
};

class Terminals : public Road, public ::testing::WithParamInterface<Current> {
protected:
    void TearDown() override {
        StandIn(nullptr, nullptr, nullptr);
        Road::TearDown();
    }
    static void StandIn(const char* result, const char* delayMs, const char* keepTime,
                        const char* failing = nullptr) {
        SetEnvironmentVariableA("TARVEX_STANDIN_RESULT", result);
        SetEnvironmentVariableA("TARVEX_STANDIN_FAILING", failing);
        SetEnvironmentVariableA("TARVEX_STANDIN_DELAY_MS", delayMs);
        SetEnvironmentVariableA("TARVEX_STANDIN_KEEP_TIME", keepTime);
    }
};

TEST_P(Terminals, ServeTheSourceAndSayWhatBecameOfIt) {
    const Current& c = GetParam();
    const auto mts = MakeTerminals(c.terminals);
    if (c.registered) {
        mts[0]->Register();
    }
    e2e::StoreOptions(c.open ? "1" : "2", "1", c.tell ? "1" : "0");
    StandIn(c.result, c.delayMs ? std::to_string(c.delayMs).c_str() : nullptr,
            c.keepTime ? "1" : nullptr, c.failing);
    const DWORD patience = // for a message, and for the runs to end
        e2e::kTimeoutMs + c.delayMs * c.instances + (c.heldTurn ? terminal::kTurnWaitMs : 0);
    const StandInTerminal& served = *mts[std::max(c.serves, 0)];
    const std::string kinds = served.KindFolder(c.kind);
    const std::string folder = *c.where ? served.Data() + "\\" + c.where : sources.Path();
    const bool inPlace = (folder + "\\").rfind(kinds + "\\", 0) == 0;
    const std::wstring turn = terminal::TurnName(testing_support::Wide(served.Path()));
    const sys::unique_handle blocker(c.blockedTurn ? CreateEventW(nullptr, 1, 0, turn.c_str())
                                                   : nullptr);
    const auto held = c.heldTurn
                          ? std::make_unique<terminal::Turn>(testing_support::Wide(served.Path()))
                          : nullptr;
    const auto name = [&](int i) { return std::to_string(i) + std::string(i, '-') + " " + c.file; };
    const auto destination = [&](int i) { return (inPlace ? folder : kinds) + "\\" + name(i); };
    const auto program = [&](int i) {
        return destination(i).replace(destination(i).size() - 3, 2, "ex");
    };
    const auto compiled = [&](int i) {
        return c.compiled && !(c.failing && name(i).find(c.failing) != std::string::npos);
    };
    if (c.keepTime) {
        testing_support::WriteBytes(program(0), "an earlier compile's"); // whose time it keeps
    }
    std::vector<std::unique_ptr<driver::Program>> runs;
    for (int i = 0; i < c.instances; ++i) {
        runs.push_back(Start("\"" + Source(c.kind, name(i), folder, c.encoding) + "\"", "",
                             c.gathered ? driver::Output::None : driver::Output::Discarded));
    }
    const bool kept = c.serves >= 0 && !c.compiled && !inPlace && !served.Legacy();
    const std::string message = e2e::Expanded(
        std::string(c.message) + (kept ? "\r\n\r\nThe source was kept:\r\n{source}" : ""),
        {{"{dest}", destination(0)},
         {"{source}", folder + "\\" + name(0)},
         {"{folder}", served.Path()},
         {"{kinds}", kinds},
         {"{error}", testing_support::Utf8(sys::SystemMessage(c.error))}});
    // Gathered, the run that answers is the one that took the others' sources.
    std::size_t answering = 0;
    if (c.gathered && *c.message) {
        driver::WaitUntil(
            [&] {
                for (answering = 0; answering < runs.size(); ++answering) {
                    if (driver::FindWindowOf(runs[answering]->Pid(), "#32770", nullptr)) {
                        return true;
                    }
                }
                answering = 0;
                return false;
            },
            patience);
    }
    if (*c.message && !c.gathered) {
        const auto box = driver::AnswerMessageBox(runs[0]->Pid(), IDOK, patience);
        EXPECT_EQ(box.look, c.serves >= 0 ? "Tarvex: OK, warning" : "Tarvex: OK, stop");
        EXPECT_EQ(box.text, message);
    } else if (*c.message) {
        const auto box = driver::AnswerMessageBox(runs[answering]->Pid(), IDOK, patience);
        EXPECT_EQ(box.look, c.failing ? "Tarvex: OK, warning" : "Tarvex: OK");
        EXPECT_EQ(Sorted(box.text), Sorted(message));
    }
    if (c.tell && !c.gathered) {
        const auto box = driver::AnswerMessageBox(runs[0]->Pid(), IDOK, patience);
        EXPECT_EQ(box.look + "|" + box.text,
                  std::string("Tarvex: OK|The ") + c.kind + " has been installed!");
    }
    for (int i = 0; i < c.instances; ++i) {
        // Not installed, or not compiled where the terminal tells: a script learns it. Those
        // that handed their source over have nothing to learn.
        const bool answers = !c.gathered || i == static_cast<int>(answering);
        const bool good = c.serves >= 0 && (c.gathered ? !c.failing : compiled(i));
        EXPECT_EQ(ExitCodeOf(*runs[i], patience), answers && !good ? 1u : 0u) << i;
    }
    const bool ran = c.ran && c.serves >= 0;
    std::multiset<std::string> commands; // an editor that was ended records nothing: waited for
    for (const auto& run : served.Runs(ran ? (1 + c.open) * c.instances : c.delayMs > 0)) {
        EXPECT_TRUE(run.fileFound && run.folder == served.Path() &&
                    (!served.Legacy() || run.batchLine == run.commandLine)) // its own batch file
            << run.commandLine;
        commands.insert(run.commandLine);
    }
    const std::string editor = "\"" + served.Path() + "\\" + served.Editor() + "\" ";
    const std::string portable = served.Portable() ? " /portable" : "";
    for (int i = 0; i < c.instances; ++i) {
        const std::string path = destination(i), quoted = "\"" + path + "\"";
        EXPECT_EQ(PathExists(path), c.serves >= 0) << path;
        // The source of a failed compile stays, as does one compiled where it lies; a terminal
        // before build 600 tells nothing of its compile.
        EXPECT_EQ(PathExists(folder + "\\" + name(i)),
                  c.serves < 0 || inPlace || (!compiled(i) && !served.Legacy()));
        EXPECT_EQ(PathExists(program(i)) && ReadBytes(program(i)).rfind("compiled from", 0) == 0,
                  c.serves >= 0 && compiled(i));
        EXPECT_EQ(commands.count(served.Legacy()
                                     ? "metalang -q " + quoted
                                     : editor + "/compile:" + quoted + " /log" + portable),
                  ran);
        EXPECT_EQ(
            commands.count(served.Legacy() ? "MetaEditor " + quoted : editor + quoted + portable),
            ran && c.open)
            << path;
    }
    EXPECT_FALSE(PathExists(served.Path() + "\\compile.bat"));
    EXPECT_EQ(PathExists(served.Path() + "\\run.bat"), served.Legacy() && ran && c.open);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Layouts, Terminals, ::testing::Values(
    Current{.name = "Portable", .terminals = {Layout{"portable"}}},
    Current{.name = "RegisteredNamedInOtherCaseWithABackslash",
            .terminals = {Layout{"utf16 upper slash"}}},
    // The editor's log is newest in the data folder made last; the terminals' own logs decide.
    Current{.name = "TheOneUsedLast",
            .terminals = {Layout{"utf16", 3}, {"ansi slash", 1}, {"utf16", 5}, {"utf16"}},
            .serves = 1, .registered = false},
    Current{.name = "NotAMetaTrader5UsedLater",
            .terminals = {Layout{"utf16", 2}, {"mt5", 0}}, .registered = false},
    Current{.name = "RegisteredFolderGone",
            .terminals = {Layout{"metalang none gone"}, {"utf16", 2}}, .serves = 1},
    Current{.name = "RegisteredFolderGoneAndNoOther", .terminals = {Layout{"utf16 none gone"}},
            .serves = -1,
            .message = "No MetaTrader 4 installation was found. The install folder registered "
                       "under HKEY_CURRENT_USER\\Software\\MetaQuotes Software\\MetaTrader 4 is "
                       "gone:\r\n{folder}\r\n\r\nNo terminal's data folder names another one. "
                       "Nothing was copied, compiled or deleted."},
    Current{.name = "UpdatedInPlaceWithItsOldMetalang", .terminals = {Layout{"utf16 metalang"}}},
    Current{.name = "InAnotherTerminalsKindFolder", .terminals = {Layout{}, Layout{}},
            .serves = 1, .where = "MQL4\\Indicators"},
    Current{.name = "InAFolderOfItsOwnBelowItsKindFolder", .terminals = {Layout{}},
            .where = "MQL4\\Indicators\\Mine\\Trend"},
    Current{.name = "InAFolderOfItsOwnBelowAnotherKindsFolder", .terminals = {Layout{}},
            .where = "MQL4\\Experts\\MyEA"},
    // A recompile within the 2 s grain of a FAT volume: the editor's count tells.
    Current{.name = "RecompiledWithinTheVolumesTimeGrain", .terminals = {Layout{}},
            .where = "MQL4\\Indicators", .keepTime = true, .open = false},
    Current{.name = "FailedCompileSaysWhereAndKeepsTheSource", .terminals = {Layout{}},
            .file = "My EA.mq4",
            .message = "This file was installed but did not compile:\r\n{dest}\r\n\r\n"
                       "0 My EA.mq4(10,5) : error 256: 'x0' - undeclared identifier\r\n"
                       "0 My EA.mq4(11,5) : error 256: 'x1' - undeclared identifier\r\n"
                       "0 My EA.mq4(12,5) : error 256: 'x2' - undeclared identifier\r\n"
                       "0 My EA.mq4(13,5) : error 256: 'x3' - undeclared identifier\r\n"
                       "0 My EA.mq4(14,5) : error 256: 'x4' - undeclared identifier\r\n"
                       "Result: 7 errors, 2 warnings",
            .result = "7 errors, 2 warnings", .compiled = false},
    Current{.name = "EditorThatCannotStart", .terminals = {Layout{"utf16 broken"}},
            .message = "This file was installed but not compiled or opened:\r\n{dest}\r\n\r\n"
                       "The terminal's editor could not be started:\r\n{folder}\\metaeditor.exe"
                       "\r\n\r\n{error}",
            .error = ERROR_BAD_EXE_FORMAT, .compiled = false, .ran = false},
    Current{.name = "TurnThatCannotBeTaken", .terminals = {Layout{}},
            .message = "This file was installed but not compiled or opened:\r\n{dest}\r\n\r\n"
                       "Tarvex could not take its turn on this terminal:\r\n{error}",
            .error = ERROR_INVALID_HANDLE, .compiled = false, .ran = false, .blockedTurn = true},
    Current{.name = "NoDataFolder", .terminals = {Layout{"none"}}, .serves = -1,
            .message = "This MetaTrader 4 keeps its programs in a data folder, and none was found "
                       "for it:\r\n{folder}\r\n\r\nStart the terminal once, so that it makes its "
                       "data folder. Nothing was copied, compiled or deleted."},
    Current{.name = "MissingKindFolder", .terminals = {Layout{"utf16 bare"}}, .serves = -1,
            .message = "This terminal has no folder for this kind of program:\r\n{kinds}\r\n\r\n"
                       "Nothing was copied, compiled or deleted."},
    // Names in any script, on a system whose code page holds none of them.
    Current{.name = "NamedInThreeScripts", .terminals = {Layout{}},
            .file = u8"Стратегия 策略 📈.mq4"},
    Current{.name = "InAProfileNamedInChineseAndCyrillic", .terminals = {Layout{"utf16 profile"}},
            .registered = false, .instances = 3},
    // Before build 600 runs share the terminal's batch files, which cmd reads by offset.
    Current{.name = "FiveAtOnceBeforeBuild600", .terminals = {Layout{"metalang none"}},
            .delayMs = 300, .instances = 5},
    // Chosen together in Explorer: one run, one answer, each compiled once. (The tools take a
    // while, so that no instance comes after the run has stopped taking on a busy machine.)
    Current{.name = "ChosenTogether", .terminals = {Layout{}}, .tell = true,
            .message = "3 programs have been installed:\r\n0 ind.mq4: Indicator\r\n"
                       "1- ind.mq4: Indicator\r\n2-- ind.mq4: Indicator",
            .delayMs = 1000, .instances = 3, .gathered = true},
    Current{.name = "ChosenTogetherOneFailing", .terminals = {Layout{}},
            .message = "2 of 3 programs have been installed:\r\n0 ind.mq4: Indicator\r\n"
                       "1- ind.mq4: This file was installed but did not compile: 1- ind.mq4(10,5) "
                       ": error 256: 'x0' - undeclared identifier The source was kept.\r\n"
                       "2-- ind.mq4: Indicator",
            .result = "1 errors, 0 warnings", .failing = "1-", .delayMs = 1000, .instances = 3,
            .gathered = true},
    Current{.name = "ChosenTogetherAllWellUntold", .terminals = {Layout{"metalang none"}},
            .delayMs = 1000, .instances = 3, .gathered = true},
    // MetaTrader 5: each kind by the handlers its code defines, each encoding, both editors.
    Current{.name = "MetaTrader5ExpertAdvisorInAFolderOfItsOwn", .terminals = {Layout{"mt5"}},
            .where = "MQL5\\Experts\\Mine", .file = "e.mq5", .kind = "Expert Advisor",
            .tell = true},
    Current{.name = "MetaTrader5IndicatorInUtf16", .terminals = {Layout{"mt5"}},
            .file = "i.mq5", .encoding = Encoding::Utf16LE, .tell = true},
    Current{.name = "MetaTrader5PortableScriptInUtf8", .terminals = {Layout{"mt5 portable"}},
            .where = "MQL5\\Scripts", .file = "s.mq5", .kind = "Script",
            .encoding = Encoding::Utf8Mark, .tell = true},
    Current{.name = "MetaTrader5ServiceOn32Bits", .terminals = {Layout{"mt5 32"}},
            .file = "s.MQ5", .kind = "Service", .tell = true},
    Current{.name = "MetaTrader5LibraryInUtf16WithoutMark", .terminals = {Layout{"mt5"}},
            .file = "l.mq5", .kind = "Library", .encoding = Encoding::Utf16LEBare, .tell = true},
    // The registered folder is MetaTrader 4's, and never serves an .mq5.
    Current{.name = "MetaTrader5UsedLast",
            .terminals = {Layout{"mt5", 3}, {"mt5 32", 1}, {"utf16", 0}}, .serves = 1,
            .file = "i.mq5"},
    Current{.name = "MetaTrader5FailedCompile", .terminals = {Layout{"mt5"}}, .file = "My EA.mq5",
            .message = "This file was installed but did not compile:\r\n{dest}\r\n\r\n"
                       "0 My EA.mq5(10,5) : error 256: 'x0' - undeclared identifier\r\n"
                       "Result: 1 errors, 0 warnings",
            .result = "1 errors, 0 warnings", .compiled = false},
    Current{.name = "MetaTrader5SourceWithOnlyAMetaTrader4", .terminals = {Layout{}},
            .serves = -1, .file = "i.mq5",
            .message = "No MetaTrader 5 installation was found: no terminal's data folder "
                       "names one.\r\n\r\nNothing was copied, compiled or deleted."},
    Current{.name = "MetaTrader4SourceWithOnlyAMetaTrader5", .terminals = {Layout{"mt5"}},
            .serves = -1, .registered = false,
            .message = "No MetaTrader 4 installation was found: the registry holds no install "
                       "folder under HKEY_CURRENT_USER\\Software\\MetaQuotes Software\\"
                       "MetaTrader 4, and no terminal's data folder names one.\r\n\r\n"
                       "Nothing was copied, compiled or deleted."}),
    [](const auto& info) { return std::string(info.param.name); });

// What takes minutes runs in a Wine prefix of its own, beside the rest.
INSTANTIATE_TEST_SUITE_P(Waits, Terminals, ::testing::Values(
    Current{.name = "HungEditorIsEnded", .terminals = {Layout{}},
            .message = "This file was installed but did not compile:\r\n{dest}\r\n\r\n"
                       "The editor had not finished it after 120 s, and was ended.",
            .delayMs = 125000, .open = false, .compiled = false, .ran = false},
    // Longer in all than a turn is waited for, but the queue keeps moving.
    Current{.name = "TwelveInAQueue", .terminals = {Layout{}}, .delayMs = 17000, .open = false,
            .instances = 12},
    Current{.name = "TurnThatNeverComesBeforeBuild600", .terminals = {Layout{"metalang none"}},
            .message = "This file was installed but not compiled or opened:\r\n{dest}\r\n\r\n"
                       "Other runs of Tarvex kept this terminal busy too long.",
            .compiled = false, .ran = false, .heldTurn = true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// "Compile in" from the menu, and /terminal from a script: the source goes into the terminal
// chosen, or into every one with one message at the end, and is deleted only when every terminal
// took it and it is no program of a terminal. Terminals T0, T1, ... (the menu's order; T0
// registered) get an indicator; the options compile only, tell and delete.
struct Choice {
    const char* name;
    std::vector<testing_support::Layout> terminals;
    const char* entry; // the "Compile in" entry run as Explorer runs it; "/...": a command tail
    std::vector<int> into = {}; // the terminals that get the source and compile it
    const char* message;        // the one message box: {source}, {sources}, {lastKinds} (the last
                                // terminal's indicators)
    const char* look = "Tarvex: OK";
    int from = -1; // the source lies in that terminal's folder of indicators
    bool deleted = false;
};

class Choose : public Road, public ::testing::WithParamInterface<Choice> {};

TEST_P(Choose, PutsTheSourceIntoTheTerminalsChosen) {
    const Choice& c = GetParam();
    const auto mts = MakeTerminals(c.terminals);
    mts[0]->Register();
    e2e::StoreOptions("2", "1", "1");
    auto registering = Start("x.txt"); // every start writes the menu
    driver::AnswerMessageBox(registering->Pid(), IDOK);
    ExitCodeOf(*registering);
    const std::string folder = c.from >= 0 ? mts[c.from]->KindFolder("Indicator") : sources.Path();
    const std::string source = Source("Indicator", "ind.mq4", folder);
    auto run =
        *c.entry == '/'
            ? Start(e2e::Expanded(c.entry, {{"{sources}", sources.Path()}}) + " \"" + source + "\"")
            : e2e::RunEntry(".mq4", c.entry, source);
    const auto box = driver::AnswerMessageBox(run->Pid(), IDOK);
    EXPECT_EQ(box.look + "|" + box.text,
              std::string(c.look) + "|" +
                  e2e::Expanded(c.message, {{"{source}", source},
                                            {"{sources}", sources.Path()},
                                            {"{lastKinds}", mts.back()->KindFolder("Indicator")}}));
    // A folder that holds no terminal is a wrong command line; a terminal that did not take the
    // source, a source not installed.
    const std::string look = c.look;
    EXPECT_EQ(ExitCodeOf(*run), look.find("stop") != std::string::npos      ? 2u
                                : look.find("warning") != std::string::npos ? 1u
                                                                            : 0u);
    for (std::size_t i = 0; i < mts.size(); ++i) {
        const bool into = std::count(c.into.begin(), c.into.end(), static_cast<int>(i)) > 0;
        const std::string copy = mts[i]->KindFolder("Indicator") + "\\ind.mq4";
        EXPECT_EQ(PathExists(copy), into || static_cast<int>(i) == c.from) << copy;
        const auto runs = mts[i]->Runs(into);
        EXPECT_TRUE(runs.size() == into &&
                    (!into || runs[0].commandLine.find(copy) != std::string::npos))
            << "T" << i;
    }
    EXPECT_EQ(PathExists(source), !c.deleted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Entries, Choose, ::testing::Values(
    Choice{.name = "OneTerminalsEntryNotTheRegisteredOne",
           .terminals = {Layout{"metalang none"}, Layout{}, Layout{"ansi"}}, .entry = "02",
           .into = {1}, .message = "The Indicator has been installed!", .deleted = true},
    Choice{.name = "EveryTerminal",
           .terminals = {Layout{"metalang none"}, Layout{}, Layout{"ansi"}}, .entry = "04",
           .into = {0, 1, 2},
           .message = "The Indicator has been installed in 3 terminals:\r\nT0\r\nT1\r\nT2",
           .deleted = true},
    Choice{.name = "EveryTerminalButOneWithoutKindFolders",
           .terminals = {Layout{}, Layout{}, Layout{"utf16 bare"}}, .entry = "04", .into = {0, 1},
           .message = "The Indicator was not installed in every terminal:\r\n\r\nT0\r\nInstalled."
                      "\r\n\r\nT1\r\nInstalled.\r\n\r\nT2\r\nThis terminal has no folder for "
                      "this kind of program:\r\n{lastKinds}\r\n\r\nThe source was kept:\r\n{source}",
           .look = "Tarvex: OK, warning"},
    Choice{.name = "FromAnotherTerminalsKindFolder", .terminals = {Layout{}, Layout{}},
           .entry = "02", .into = {1}, .message = "The Indicator has been installed!", .from = 0},
    Choice{.name = "EveryTerminalWithOneListed", .terminals = {Layout{}}, .entry = "/terminal:*",
           .into = {0}, .message = "The Indicator has been installed!", .deleted = true},
    Choice{.name = "AFolderThatIsNoTerminal", .terminals = {Layout{}},
           .entry = "/terminal:\"{sources}\"",
           .message = "Tarvex knows no MetaTrader 4 terminal in this folder:\r\n{sources}\r\n\r\n"
                      "Nothing was copied, compiled or deleted.",
           .look = "Tarvex: OK, stop"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Where the source lies and what its kind folder holds decide what is asked, copied and
// compiled; the source goes only once a copy of it is in place, and a read-only one is reported.
TEST_F(Road, PlacesTheSourceAndDeletesItOnlyAfterAGoodCopy) {
    e2e::StoreOptions("2", "1", "1");
    const std::string scripts = mt.KindFolder("Script");
    const std::string script = e2e::SourceText("Script");
    const std::string asked = "Exist: Yes No, information|The file is already exist! Do you "
                              "want to replace it?\r\n\r\n" +
                              scripts + "\\a.mq4"; // which one
    const std::string told = "Tarvex: OK|The Script has been installed!";
    const std::string stop = "Tarvex: OK, stop|Could not delete the file:\r\n" + sources / "";
    const struct {
        std::string source;
        bool older, readOnly; // an older copy in the kind folder; a read-only source
        std::vector<std::pair<int, std::string>> boxes; // the button pressed, what was shown
        bool replaced, kept;
        DWORD exitCode;
    } cases[] = {
        {sources / "a.mq4", true, false, {{IDNO, asked}}, false, true, 1},
        {sources / "a.mq4", true, false, {{IDYES, asked}, {IDOK, told}}, true, false, 0},
        {scripts + "\\b.mq4", false, false, {{IDOK, told}}, true, true, 0}, // compiled in place
        {sources / "experts\\scripts\\c.mq4", false, false, {{IDOK, told}}, true, false, 0},
        {sources / "d.mq4", false, true, {{IDOK, told}, {IDOK, stop + "d.mq4"}}, true, true, 1},
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
        EXPECT_EQ(ExitCodeOf(*tarvex), 1u);
        EXPECT_EQ(PathExists(c.argument), existed);
    }
    EXPECT_TRUE(mt.Runs().empty());
    EXPECT_FALSE(PathExists(sources / "NA")); // nothing written for a terminal that is not there
}

// What a script or a build calls and reads: its exit code, a line per source and terminal on its
// output (outcome, kind, source, destination, what went wrong) and, unless /quiet, what a user
// sees. Sources {a} (an indicator), {b} (a script), {blank} (an Expert Advisor with a blank in its
// name) and {notes} (no source); T0 (registered, before build 600) and T1. Compile only, tell.
TEST_F(Road, ScriptsReadTheLinesAndTheExitCode) {
    const auto t1 = MakeTerminals({Layout{}});
    mt.Register();
    e2e::StoreOptions("2", "0", "1");
    const struct {
        const char* tail;
        DWORD exit;
        const char* lines;           // {T0i}, {T0s}, {T0e}, {T1i}: kind folders
        const char* shown = nullptr; // the one message box, look|text; null: no window at all
        bool older = false;          // a file of {a}'s name in its kind folder
    } calls[] = {
        {"\"{a}\" \"{b}\"", 0,
         "installed\tIndicator\t{a}\t{T0i}\\a.mq4\t\r\ninstalled\tScript\t{b}\t{T0s}\\b.mq4\t\r\n",
         "Tarvex: OK|2 programs have been installed:\r\na.mq4: Indicator\r\nb.mq4: Script"},
        {"{blank}", 0, "installed\tExpert Advisor\t{blank}\t{T0e}\\my ea.mq4\t\r\n",
         "Tarvex: OK|The Expert Advisor has been installed!"},
        {"\"{a}\" \"{notes}\"", 1,
         "installed\tIndicator\t{a}\t{T0i}\\a.mq4\t\r\nfailed\t\t{notes}\t\tUn-recognized file "
         "type\r\n",
         "Tarvex: OK, warning|1 of 2 programs have been installed:\r\na.mq4: Indicator\r\n"
         "notes.txt: Un-recognized file type"},
        {"/quiet \"{a}\" \"{b}\"", 1,
         "skipped\tIndicator\t{a}\t{T0i}\\a.mq4\tNot installed: the file already there was "
         "kept\r\ninstalled\tScript\t{b}\t{T0s}\\b.mq4\t\r\n",
         nullptr, true},
        {"/REPLACE /Quiet /terminal:* \"{a}\"", 0,
         "installed\tIndicator\t{a}\t{T0i}\\a.mq4\t\r\ninstalled\tIndicator\t{a}\t{T1i}\\a."
         "mq4\t\r\n",
         nullptr, true},
        {"/verbose \"{a}\"", 2, "",
         "Tarvex: OK, stop|Tarvex knows no switch /verbose. Its switches, before the sources, are "
         "/terminal:<folder>, /terminal:*, /quiet and /replace.\r\n\r\nNothing was copied, "
         "compiled or deleted."},
        {"/quiet /replace", 2,
         "No source file follows the switches.\r\n\r\nNothing was copied, compiled or "
         "deleted.\r\n"},
    };
    for (const auto& c : calls) {
        testing_support::RemoveTree(mt.KindFolder("Indicator") + "\\a.mq4");
        testing_support::RemoveTree(mt.KindFolder("Script") + "\\b.mq4");
        if (c.older) {
            testing_support::WriteBytes(mt.KindFolder("Indicator") + "\\a.mq4", "older");
        }
        const std::initializer_list<std::pair<const char*, std::string>> fields = {
            {"{a}", Source("Indicator", "a.mq4")},
            {"{b}", Source("Script", "b.mq4")},
            {"{blank}", Source("Expert Advisor", "my ea.mq4")},
            {"{notes}", Source("Script", "notes.txt")},
            {"{T0i}", mt.KindFolder("Indicator")},
            {"{T0s}", mt.KindFolder("Script")},
            {"{T0e}", mt.KindFolder("Expert Advisor")},
            {"{T1i}", t1[0]->KindFolder("Indicator")}};
        driver::Program run(e2e::TarvexExe(), e2e::Expanded(c.tail, fields), "",
                            driver::Output::Captured);
        if (c.shown != nullptr) {
            const auto box = driver::AnswerMessageBox(run.Pid(), IDOK);
            EXPECT_EQ(box.look + "|" + box.text, e2e::Expanded(c.shown, fields));
        }
        bool window = false;
        while (!run.WaitForExit(20) && !window) {
            window = c.shown == nullptr && driver::FindWindowOf(run.Pid(), nullptr, nullptr);
        }
        EXPECT_FALSE(window) << c.tail;
        EXPECT_EQ(ExitCodeOf(run), c.exit) << c.tail;
        EXPECT_EQ(run.ReadOutput(), e2e::Expanded(c.lines, fields)) << c.tail;
    }
    // Above 25 sources the summary counts the installed ones by kind and names 25 others.
    testing_support::RemoveTree(mt.KindFolder("Indicator") + "\\a.mq4");
    std::string tail =
        "\"" + Source("Indicator", "a.mq4") + "\" \"" + Source("Indicator", "c.mq4") + "\"";
    std::string named;
    for (int i = 0; i < 26; ++i) {
        const std::string notes = "n" + std::to_string(i) + ".txt";
        tail += " \"" + sources / notes + "\"";
        named += i < 25 ? "\r\n" + notes + ": Un-recognized file type" : "";
    }
    auto many = Start(tail);
    EXPECT_EQ(driver::AnswerMessageBox(many->Pid(), IDOK).text,
              "2 of 28 programs have been installed:\r\nInstalled: 2 Indicators" + named +
                  "\r\nand 1 more");
    EXPECT_EQ(ExitCodeOf(*many), 1u);
}

// Several sources whose names are in their kind folders: the first question has a check box, and
// its answer, ticked, goes for the rest of the run, which is not asked again.
TEST_F(Road, TheCheckBoxAnswersForTheRestOfTheRun) {
    e2e::StoreOptions("2", "0", "0");
    const std::string scripts = mt.KindFolder("Script");
    for (const int button : {IDYES, IDNO}) {
        std::string tail;
        for (const char* name : {"a.mq4", "b.mq4"}) {
            testing_support::WriteBytes(scripts + "\\" + name, "older");
            tail += " \"" + Source("Script", name) + "\"";
        }
        auto run = Start(tail);
        const auto asked = driver::AnswerMessageBox(run->Pid(), button, e2e::kTimeoutMs, true);
        EXPECT_EQ(asked.look + "|" + asked.text,
                  "Exist: Yes No [ ] Do this for the other files, information|The file is "
                  "already exist! Do you want to replace it?\r\n\r\n" +
                      scripts + "\\a.mq4");
        if (button == IDNO) { // then the one answer, which tells what was kept
            EXPECT_EQ(driver::AnswerMessageBox(run->Pid(), IDOK).text,
                      "0 of 2 programs have been installed:\r\na.mq4: Not installed: the file "
                      "already there was kept\r\nb.mq4: Not installed: the file already there "
                      "was kept");
        }
        EXPECT_EQ(ExitCodeOf(*run), button == IDYES ? 0u : 1u);
        for (const char* name : {"\\a.mq4", "\\b.mq4"}) {
            EXPECT_EQ(ReadBytes(scripts + name) == "older", button == IDNO) << name;
        }
    }
}

// Started together as Explorer starts them, a run takes only the sources of instances with its own
// switch and without an output of their own; one that has stopped taking (it tells of its one
// source) takes none. Each of these installs its own and says so.
TEST_F(Road, OnlyTheSameSwitchAndNoOutputOfItsOwnHandOver) {
    e2e::StoreOptions("2", "0", "1");
    using driver::Output;
    const struct {
        const char* switches;
        const char* kind;
        Output output;
    } instances[] = {{"", "Indicator", Output::None},
                     {"", "Script", Output::Captured},
                     {"/terminal:\"{T0}\" ", "Library", Output::None},
                     {"", "Expert Advisor", Output::None}}; // late
    std::vector<std::unique_ptr<driver::Program>> runs;
    for (const auto& instance : instances) {
        if (runs.size() == 3) { // once the first has stopped taking, and tells of its source
            EXPECT_NE(driver::WaitForWindow(runs[0]->Pid(), "#32770", nullptr, e2e::kTimeoutMs),
                      nullptr);
        }
        const std::string file = std::string(instance.kind) + ".mq4";
        runs.push_back(Start(e2e::Expanded(instance.switches, {{"{T0}", mt.Path()}}) + "\"" +
                                 Source(instance.kind, file) + "\"",
                             "", instance.output));
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(driver::AnswerMessageBox(runs[i]->Pid(), IDOK).text,
                  std::string("The ") + instances[i].kind + " has been installed!");
    }
    for (auto& run : runs) {
        EXPECT_EQ(ExitCodeOf(*run), 0u);
    }
    EXPECT_EQ(runs[1]->ReadOutput(), "installed\tScript\t" + sources / "Script.mq4" + "\t" +
                                         mt.KindFolder("Script") + "\\Script.mq4\t\r\n");
    EXPECT_EQ(mt.Runs(4).size(), 4u);
}

// Before build 600 a run keeps its turn while its editor's interpreter runs (cmd reads a batch
// file by offset), but the message does not wait for it.
TEST_F(Road, TheMessageDoesNotWaitForTheEditor) {
    e2e::StoreOptions("1", "0", "1");
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", L"3000"); // the tools stay a while
    auto told = Start("\"" + Source("Script", "told.mq4") + "\"");
    EXPECT_EQ(driver::AnswerMessageBox(told->Pid(), IDOK).text, "The Script has been installed!");
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", nullptr);
    EXPECT_EQ(mt.Runs().size(), 1u) << "the compiler has ended, the editor (which records its run "
                                       "as it ends) has not";
    EXPECT_EQ(ExitCodeOf(*told), 0u);
    EXPECT_EQ(mt.Runs().size(), 2u) << "the run ended before its editor";
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
            const bool asked = driver::WaitForWindow(run->Pid(), "#32770", nullptr, 3000);
            if (asked) {
                EXPECT_EQ(driver::AnswerMessageBox(run->Pid(), IDNO).look,
                          "Exist: Yes No, information");
            }
            EXPECT_EQ(ExitCodeOf(*run), asked ? 1u : 0u);
        }
        for (const char* folder : {"one", "two"}) {
            const std::string source = sources / folder + "\\same.mq4";
            EXPECT_TRUE(ReadBytes(installed) == folder ||
                        (PathExists(source) && ReadBytes(source) == folder))
                << source << ", round " << round;
        }
    }
}

} // namespace

// One source through the whole road: placed, compiled, opened, told, deleted.
#include "Road.h"
#include "sys/Handles.h"

#include <set>

namespace {

using e2e::Encoding;
using e2e::Road;
using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::StandInTerminal;

// One source of each kind and encoding, under names as users' systems write them. The program
// holds paths in the ANSI code page and cmd reads batch files in the console (OEM) one: the
// tools get the true path, or the program says plainly why it cannot be, before anything is
// copied. What each name needs is asked of the code pages of the system the test runs on.
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
    if (testing_support::InCodePage(c.terminal, CP_ACP).empty()) {
        GTEST_SKIP() << "a terminal folder this code page cannot express is not registered";
    }
    StandInTerminal terminal(c.terminal);
    e2e::StoreOptions("1", "1", "1");
    const std::string source = Source(c.kind, c.file, sources / c.folder, c.encoding);
    const std::string bytes = ReadBytes(source);
    const std::string decoy = sources / c.folder + "\\" + c.decoy;
    testing_support::WriteBytes(decoy, "another file");
    const std::string installed = terminal.KindFolder(c.kind) + "\\" + c.file;
    auto tarvex = Start("\"" + source + "\"");
    const auto shown = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
    const bool ansi = !testing_support::InCodePage(source, CP_ACP).empty();
    if (!ansi || testing_support::InCodePage(installed, CP_OEMCP).empty()) {
        EXPECT_EQ(shown.look, "Tarvex: OK, stop");
        EXPECT_NE(shown.text.find(ansi ? "The compiler cannot be handed this path:\r\n" + installed
                                       : "this system's code page cannot express, so it "
                                         "cannot be installed:\r\n" +
                                             source),
                  std::string::npos)
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
        Case{"EuroInTheSourcesFolderOnly", "Indicator", "p.mq4", Encoding::Ansi, "MetaTrader 4",
             u8"€ src"},
        Case{"LookAlikeOfAnotherFile", "Indicator", u8"Łódź.mq4", Encoding::Ansi, "MetaTrader 4",
             "src", u8"Lódz.mq4"}),
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
        {sources / "d.mq4",
         false,
         true,
         {{IDOK, told},
          {IDOK, "Tarvex: OK, stop|Could not delete the file:\r\n" + sources / "d.mq4"}},
         true,
         true,
         2},
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
    } cases[] = {
        {sources / "gone.mq4", open + sources / "gone.mq4"},
        {sources / "folder.mq4", open + sources / "folder.mq4"},
        {sources / "locked.mq4", open + sources / "locked.mq4"}, // by another program
        {sources / std::string(6000, 'a') + ".mq4", open + sources.Path()},
        {sources / "bad<|>.mq4", open + sources / "bad<|>.mq4"},
        {sources / "lost.mq4", "Could not copy the source file to:\r\n" + mt.KindFolder("Script")},
        {sources / "ea.mq4", "No MetaTrader 4 installation was found"},
    };
    testing_support::MakeFolder(sources / "folder.mq4");
    for (const char* name : {"locked.mq4", "lost.mq4", "ea.mq4"}) {
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
        EXPECT_EQ(error.look, "Tarvex: OK, stop");
        EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
        EXPECT_EQ(PathExists(c.argument), existed);
    }
    EXPECT_TRUE(mt.Runs().empty());
    EXPECT_FALSE(PathExists(sources / "NA")); // nothing written for a terminal that is not there
}

// Explorer starts one instance per selected file; they share the terminal's batch files, and
// an interpreter reads its batch file again by offset once its program ends.
TEST_F(Road, FiveInstancesAtOnceEachCompileAndOpenTheirOwnSource) {
    e2e::StoreOptions("1", "0", "0");
    SetEnvironmentVariableW(L"TARVEX_STANDIN_DELAY_MS", L"300"); // the editor stays a while
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

} // namespace

// One source through the whole road: placed, compiled, opened, told, deleted.
#include "Road.h"
#include "sys/Handles.h"

#include <algorithm>

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

// What a batch file must hold for cmd to hand the path to the tool: every % doubled, in the
// console's code page.
std::string BatchBytes(std::string terminal, const char* command, std::string file) {
    for (std::string* text : {&terminal, &file}) {
        for (auto at = text->find('%'); at != std::string::npos; at = text->find('%', at + 2)) {
            text->insert(at, 1, '%');
        }
    }
    return testing_support::InCodePage(
        "cd /d \"" + terminal + "\"\r\n" + command + "\"" + file + "\"\r\n", CP_OEMCP);
}

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
    EXPECT_EQ(shown.caption, "Tarvex");
    EXPECT_EQ(shown.buttons, std::vector<int>{IDOK});
    const bool ansi = !testing_support::InCodePage(source, CP_ACP).empty();
    if (!ansi || testing_support::InCodePage(installed, CP_OEMCP).empty()) {
        EXPECT_NE(shown.text.find(ansi ? "The compiler cannot be handed this path:\r\n" + installed
                                       : "this system's code page cannot express, so it "
                                         "cannot be installed:\r\n" +
                                             source),
                  std::string::npos)
            << shown.text;
        EXPECT_EQ(shown.icon, static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
        EXPECT_FALSE(PathExists(installed));
        EXPECT_EQ(ReadBytes(source), bytes);
        EXPECT_TRUE(terminal.Runs().empty());
    } else {
        EXPECT_EQ(shown.text, std::string("The ") + c.kind + " has been installed!");
        EXPECT_EQ(shown.icon, 0u);
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
        EXPECT_EQ(ReadBytes(terminal.Path() + "\\run.bat"),
                  BatchBytes(terminal.Path(), "MetaEditor ", installed));
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

TEST_F(Road, ReplaceQuestionOnlyYesReplaces) {
    e2e::StoreOptions("2", "1", "1");
    const std::string installed = mt.KindFolder("Script") + "\\tool.mq4";
    for (const int answer : {IDNO, IDYES}) {
        testing_support::WriteBytes(installed, "older copy");
        const std::string source = Source("Script", "tool.mq4");
        auto tarvex = Start(source);
        const auto question = driver::AnswerMessageBox(tarvex->Pid(), answer);
        EXPECT_EQ(question.text, "The file is already exist! Do you want to replace it?");
        EXPECT_TRUE(question.caption == "Exist" && question.icon == MB_ICONINFORMATION &&
                    question.buttons == (std::vector<int>{IDYES, IDNO}));
        if (answer == IDYES) {
            EXPECT_EQ(driver::AnswerMessageBox(tarvex->Pid(), IDOK).text,
                      "The Script has been installed!");
        }
        EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
        const bool yes = answer == IDYES;
        EXPECT_EQ(ReadBytes(installed), yes ? e2e::SourceText("Script") : "older copy");
        EXPECT_EQ(PathExists(source), !yes); // deleted only after a good copy
        EXPECT_EQ(mt.Runs().size(), yes ? 1u : 0u);
    }
}

TEST_F(Road, SourceInItsKindFolderIsCompiledInPlaceAndKeptAndOneElsewhereIsCopied) {
    e2e::StoreOptions("2", "1", "0");
    const std::string inPlace = Source("Library", "helpers.mq4", mt.KindFolder("Library"));
    const std::string elsewhere = Source("Library", "other.mq4", sources / "experts\\libraries");
    for (const std::string& source : {inPlace, elsewhere}) {
        EXPECT_EQ(ExitCodeOf(*Start("\"" + source + "\"")), 0u); // no question, no message
    }
    EXPECT_EQ(ReadBytes(inPlace), e2e::SourceText("Library"));
    EXPECT_FALSE(PathExists(elsewhere));
    const auto runs = mt.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + inPlace + "\"");
    EXPECT_EQ(runs[1].commandLine, "metalang -q \"" + mt.KindFolder("Library") + "\\other.mq4\"");
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
        EXPECT_TRUE(error.caption == "Tarvex" && error.buttons == (std::vector<int>{IDOK}) &&
                    error.icon == MB_ICONHAND);
        EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
        EXPECT_EQ(PathExists(c.argument), existed);
    }
    EXPECT_TRUE(mt.Runs().empty());
    EXPECT_FALSE(PathExists(sources / "NA")); // nothing written for a terminal that is not there
}

TEST_F(Road, ReadOnlySourceIsStillInstalledWhenItCannotBeDeleted) {
    e2e::StoreOptions("2", "1", "0");
    const std::string source = Source("Script", "kept.mq4");
    SetFileAttributesW(testing_support::Wide(source).c_str(), FILE_ATTRIBUTE_READONLY);
    auto tarvex = Start(source);
    EXPECT_NE(driver::AnswerMessageBox(tarvex->Pid(), IDOK).text.find(source), std::string::npos);
    EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
    EXPECT_TRUE(PathExists(source));
    EXPECT_EQ(ReadBytes(mt.KindFolder("Script") + "\\kept.mq4"), e2e::SourceText("Script"));
    EXPECT_EQ(mt.Runs().size(), 1u);
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
    const auto runs = mt.Runs(10);
    EXPECT_EQ(runs.size(), 10u);
    for (const auto& run : runs) {
        EXPECT_EQ(run.batchLine, run.commandLine) << "it ran another instance's batch file";
    }
    for (const auto& path : installed) {
        for (const std::string command : {"metalang -q \"", "MetaEditor \""}) {
            EXPECT_EQ(std::count_if(runs.begin(), runs.end(),
                                    [&](const auto& run) {
                                        return run.commandLine == command + path + "\"";
                                    }),
                      1)
                << command << path;
        }
    }
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
}

} // namespace

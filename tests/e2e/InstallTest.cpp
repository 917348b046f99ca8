// One source through the whole road: placed, compiled, opened, told, deleted.
#include "Road.h"
#include "sys/Handles.h"

#include <algorithm>

namespace {

using e2e::Encoding;
using e2e::Road;
using testing_support::PathExists;
using testing_support::ReadBytes;

struct KindCase {
    const char* kind;
    Encoding encoding;
    const char* name;
};

class EachKind : public Road, public ::testing::WithParamInterface<KindCase> {};

TEST_P(EachKind, LandsInItsFolderIsCompiledThereAndTold) {
    const std::string kind = GetParam().kind;
    e2e::StoreOptions("2", "0", "1");
    const std::string source = Source(kind, "my sample.mq4", "", GetParam().encoding);
    auto tarvex = Start("\"" + source + "\"");

    const auto told = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
    EXPECT_EQ(told.text, "The " + kind + " has been installed!");
    EXPECT_EQ(told.caption, "Tarvex");
    EXPECT_EQ(told.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(told.icon, 0u);
    EXPECT_EQ(ExitCodeOf(*tarvex), 0u);

    const std::string installed = mt.KindFolder(kind) + "\\my sample.mq4";
    EXPECT_EQ(ReadBytes(installed), ReadBytes(source)); // byte for byte, mark included
    EXPECT_TRUE(PathExists(mt.KindFolder(kind) + "\\my sample.ex4"));
    const auto runs = mt.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, "metalang");
    EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + installed + "\"");
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EachKind,
    ::testing::Values(KindCase{"Expert Advisor", Encoding::Ansi, "ExpertAdvisor"},
                      KindCase{"Indicator", Encoding::Ansi, "Indicator"},
                      KindCase{"Script", Encoding::Ansi, "Script"},
                      KindCase{"Library", Encoding::Ansi, "Library"},
                      KindCase{"Expert Advisor", Encoding::Utf16LE, "ExpertAdvisorUtf16LE"},
                      KindCase{"Indicator", Encoding::Utf16LE, "IndicatorUtf16LE"},
                      KindCase{"Script", Encoding::Utf16LE, "ScriptUtf16LE"},
                      KindCase{"Library", Encoding::Utf16LE, "LibraryUtf16LE"},
                      KindCase{"Indicator", Encoding::Utf16BE, "IndicatorUtf16BE"},
                      KindCase{"Script", Encoding::Utf8Mark, "ScriptUtf8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Road, ReplaceQuestionOnlyYesReplaces) {
    e2e::StoreOptions("2", "1", "1");
    const std::string installed = mt.KindFolder("Script") + "\\tool.mq4";
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        testing_support::WriteBytes(installed, "older copy");
        const std::string source = Source("Script", "tool.mq4");
        auto tarvex = Start(source);
        const auto question = driver::AnswerMessageBox(tarvex->Pid(), answer);
        EXPECT_EQ(question.text, "The file is already exist! Do you want to replace it?");
        EXPECT_EQ(question.caption, "Exist");
        EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(question.icon, static_cast<UINT>(MB_ICONINFORMATION));
        if (answer == IDNO) {
            EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
            EXPECT_EQ(ReadBytes(installed), "older copy");
            EXPECT_TRUE(PathExists(source));
            EXPECT_TRUE(mt.Runs().empty());
        } else {
            EXPECT_EQ(driver::AnswerMessageBox(tarvex->Pid(), IDOK).text,
                      "The Script has been installed!");
            EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
            EXPECT_EQ(ReadBytes(installed), e2e::SourceText("Script"));
            EXPECT_FALSE(PathExists(source)); // deleted after the good copy
            EXPECT_EQ(mt.Runs().size(), 1u);
        }
    }
}

TEST_F(Road, SourceInItsKindFolderIsCompiledInPlaceAndKept) {
    e2e::StoreOptions("2", "1", "0");
    const std::string source = Source("Library", "helpers.mq4", mt.KindFolder("Library"));
    auto tarvex = Start("\"" + source + "\"");
    EXPECT_EQ(ExitCodeOf(*tarvex), 0u); // no question, no message
    EXPECT_EQ(ReadBytes(source), e2e::SourceText("Library"));
    const auto runs = mt.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + source + "\"");
}

TEST_F(Road, SourceInAnotherFolderOfTheKindFoldersNameIsCopied) {
    e2e::StoreOptions("2", "0", "0");
    const std::string source = Source("Indicator", "bands.mq4", sources / "experts\\indicators");
    auto tarvex = Start(source);
    EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
    const std::string installed = mt.KindFolder("Indicator") + "\\bands.mq4";
    EXPECT_EQ(ReadBytes(installed), e2e::SourceText("Indicator"));
    EXPECT_TRUE(PathExists(source));
    ASSERT_EQ(mt.Runs().size(), 1u);
    EXPECT_EQ(mt.Runs()[0].commandLine, "metalang -q \"" + installed + "\"");
}

// A run that cannot go on ends with one clear message, and nothing is lost or half done.
using testing_support::StandInTerminal;
struct Failure {
    const char* name;
    std::string (*make)(const std::string& folder, const StandInTerminal& mt); // the argument
    std::string (*reportedAs)(const StandInTerminal& mt);                      // in the message
};

class Fails : public Road, public ::testing::WithParamInterface<Failure> {};

TEST_P(Fails, EndsWithAClearMessageAndLosesNothing) {
    e2e::StoreOptions("1", "1", "1");
    const std::string argument = GetParam().make(sources.Path(), mt);
    const bool existed = PathExists(argument);
    sys::unique_hfile lock(CreateFileW(testing_support::Wide(sources / "locked.mq4").c_str(),
                                       GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    auto tarvex = Start("\"" + argument + "\"", sources.Path());
    const auto error = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
    lock.reset();
    EXPECT_NE(error.text.find(GetParam().reportedAs(mt)), std::string::npos) << error.text;
    EXPECT_EQ(error.caption, "Tarvex");
    EXPECT_EQ(error.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(error.icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
    EXPECT_EQ(PathExists(argument), existed);
    EXPECT_TRUE(mt.Runs().empty());
    EXPECT_FALSE(PathExists(sources / "NA")); // nothing written for a terminal that is not there
}

std::string Written(const std::string& path, const char* kind) {
    testing_support::WriteBytes(path, e2e::SourceText(kind));
    return path;
}
std::string OpenError(const StandInTerminal&) {
    return "Could not open the source file";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Fails,
    ::testing::Values(
        Failure{"Missing", [](const std::string& d, auto&) { return d + "\\gone.mq4"; }, OpenError},
        Failure{"Directory",
                [](const std::string& d, auto&) {
                    testing_support::MakeFolder(d + "\\x.mq4");
                    return d + "\\x.mq4";
                },
                OpenError},
        Failure{"LockedByAnotherProgram",
                [](const std::string& d, auto&) { return Written(d + "\\locked.mq4", "Script"); },
                OpenError},
        Failure{
            "VeryLongArgument",
            [](const std::string& d, auto&) { return d + "\\" + std::string(6000, 'a') + ".mq4"; },
            OpenError},
        Failure{"KindFolderMissing",
                [](const std::string& d, const StandInTerminal& mt) {
                    testing_support::RemoveTree(mt.KindFolder("Script"));
                    return Written(d + "\\lost.mq4", "Script");
                },
                [](const StandInTerminal& mt) {
                    return "Could not copy the source file to:\r\n" + mt.KindFolder("Script") +
                           "\\lost.mq4";
                }},
        Failure{"NoTerminal",
                [](const std::string& d, auto&) {
                    testing_support::ForgetTerminal();
                    return Written(d + "\\ea.mq4", "Expert Advisor");
                },
                [](const StandInTerminal&) {
                    return std::string("No MetaTrader 4 installation was found");
                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Road, ReadOnlySourceIsStillInstalledWhenItCannotBeDeleted) {
    e2e::StoreOptions("2", "1", "0");
    const std::string source = Source("Script", "kept.mq4");
    SetFileAttributesW(testing_support::Wide(source).c_str(), FILE_ATTRIBUTE_READONLY);
    auto tarvex = Start(source);
    const auto error = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
    EXPECT_NE(error.text.find(source), std::string::npos) << error.text;
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
    const auto runs = mt.WaitForRuns(10);
    EXPECT_EQ(runs.size(), 10u);
    for (const auto& run : runs) {
        EXPECT_EQ(run.batchLine, run.commandLine) << "it ran another instance's batch file";
    }
    for (const auto& path : installed) {
        for (const std::string command : {"metalang -q \"", "MetaEditor \""}) {
            const auto count = std::count_if(runs.begin(), runs.end(), [&](const auto& run) {
                return run.commandLine == command + path + "\"";
            });
            EXPECT_EQ(count, 1) << command << path;
        }
    }
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
}

} // namespace

// One source through the whole road: placed, compiled, opened, told, deleted.
#include "Road.h"

#include <algorithm>

namespace {

using e2e::Road;
using testing_support::PathExists;
using testing_support::ReadBytes;

class EachKind : public Road, public ::testing::WithParamInterface<const char*> {};

TEST_P(EachKind, LandsInItsFolderIsCompiledThereAndTold) {
    const std::string kind = GetParam();
    e2e::StoreOptions("2", "0", "1");
    const std::string source = Source(kind, "my sample.mq4");
    auto tarvex = Start("\"" + source + "\"");

    const auto told = driver::AnswerMessageBox(tarvex->Pid(), "OK");
    EXPECT_EQ(told.text, "The " + kind + " has been installed!");
    EXPECT_EQ(told.caption, "Tarvex");
    EXPECT_EQ(told.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(told.icon, 0u);
    EXPECT_EQ(ExitCodeOf(*tarvex), 0u);

    const std::string installed = mt.KindFolder(kind) + "\\my sample.mq4";
    EXPECT_EQ(ReadBytes(installed), e2e::SourceText(kind));
    EXPECT_TRUE(PathExists(mt.KindFolder(kind) + "\\my sample.ex4"));
    EXPECT_TRUE(PathExists(source));
    const auto runs = mt.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].program, "metalang");
    EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + installed + "\"");
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachKind,
                         ::testing::Values("Expert Advisor", "Indicator", "Script", "Library"),
                         [](const auto& info) {
                             std::string name = info.param;
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             return name;
                         });

TEST_F(Road, FirstOptionAlsoOpensTheCopyInTheEditor) {
    e2e::StoreOptions("1", "0", "0");
    const std::string source = Source("Indicator", "Trend.MQ4");
    auto tarvex = Start(source);
    EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
    const std::string installed = mt.KindFolder("Indicator") + "\\Trend.MQ4";
    const auto runs = mt.WaitForRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + installed + "\"");
    EXPECT_EQ(runs[1].commandLine, "MetaEditor \"" + installed + "\"");
}

TEST_F(Road, ReplaceQuestionYesReplacesAndNoChangesNothing) {
    e2e::StoreOptions("2", "1", "1");
    const std::string installed = mt.KindFolder("Script") + "\\tool.mq4";
    for (const char* answer : {"No", "Yes"}) {
        SCOPED_TRACE(answer);
        testing_support::WriteBytes(installed, "older copy");
        const std::string source = Source("Script", "tool.mq4");
        auto tarvex = Start(source);
        const auto question = driver::AnswerMessageBox(tarvex->Pid(), answer);
        EXPECT_EQ(question.text, "The file is already exist! Do you want to replace it?");
        EXPECT_EQ(question.caption, "Exist");
        EXPECT_EQ(question.buttons, (std::vector<std::string>{"Yes", "No"}));
        EXPECT_EQ(question.icon, static_cast<UINT>(MB_ICONINFORMATION));
        if (std::string(answer) == "No") {
            EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
            EXPECT_EQ(ReadBytes(installed), "older copy");
            EXPECT_TRUE(PathExists(source));
            EXPECT_TRUE(mt.Runs().empty());
        } else {
            EXPECT_EQ(driver::AnswerMessageBox(tarvex->Pid(), "OK").text,
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

TEST_F(Road, FailedCopyIsReportedAndNothingElseHappens) {
    e2e::StoreOptions("1", "1", "1");
    testing_support::RemoveTree(mt.KindFolder("Script"));
    const std::string source = Source("Script", "lost.mq4");
    auto tarvex = Start(source);
    const auto error = driver::AnswerMessageBox(tarvex->Pid(), "OK");
    EXPECT_NE(error.text.find("Could not copy"), std::string::npos) << error.text;
    EXPECT_NE(error.text.find(mt.KindFolder("Script") + "\\lost.mq4"), std::string::npos);
    EXPECT_EQ(error.caption, "Tarvex");
    EXPECT_EQ(error.icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
    EXPECT_TRUE(PathExists(source));
    EXPECT_TRUE(mt.Runs().empty());
}

TEST_F(Road, NoTerminalIsReportedBeforeAnythingIsWritten) {
    e2e::StoreOptions("1", "1", "1");
    testing_support::ForgetTerminal();
    const std::string source = Source("Expert Advisor", "ea.mq4");
    auto tarvex = Start(source, sources.Path());
    const auto error = driver::AnswerMessageBox(tarvex->Pid(), "OK");
    EXPECT_NE(error.text.find("No MetaTrader 4 installation was found"), std::string::npos);
    EXPECT_EQ(error.icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
    EXPECT_TRUE(PathExists(source));
    EXPECT_FALSE(PathExists(sources / "NA"));
}

// Bad input ends with one clear message: what failed, where, and why.
struct BadSource {
    const char* name;
    std::string (*make)(const std::string& folder); // returns the argument
    const char* failure;
};

class BadInput : public Road, public ::testing::WithParamInterface<BadSource> {};

TEST_P(BadInput, EndsWithAClearMessageAndLosesNothing) {
    e2e::StoreOptions("1", "1", "1");
    const std::string argument = GetParam().make(sources.Path());
    const bool existed = PathExists(argument);
    HANDLE lock = CreateFileA((sources / "locked.mq4").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    auto tarvex = Start("\"" + argument + "\"");
    const auto error = driver::AnswerMessageBox(tarvex->Pid(), "OK");
    CloseHandle(lock);
    EXPECT_NE(error.text.find(GetParam().failure), std::string::npos) << error.text;
    EXPECT_EQ(error.caption, "Tarvex");
    EXPECT_EQ(error.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(error.icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
    EXPECT_EQ(PathExists(argument), existed);
    EXPECT_TRUE(mt.Runs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sources, BadInput,
    ::testing::Values(BadSource{"Missing", [](const std::string& d) { return d + "\\missing.mq4"; },
                                "Could not open the source file"},
                      BadSource{"Directory",
                                [](const std::string& d) {
                                    CreateDirectoryA((d + "\\x.mq4").c_str(), nullptr);
                                    return d + "\\x.mq4";
                                },
                                "Could not open the source file"},
                      BadSource{"Locked",
                                [](const std::string& d) {
                                    testing_support::WriteBytes(d + "\\locked.mq4",
                                                                e2e::SourceText("Script"));
                                    return d + "\\locked.mq4";
                                },
                                "Could not open the source file"},
                      BadSource{"VeryLongArgument",
                                [](const std::string& d) {
                                    return d + "\\" + std::string(6000, 'a') + ".mq4";
                                },
                                "Could not open the source file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Road, ReadOnlySourceIsStillInstalledWhenItCannotBeDeleted) {
    e2e::StoreOptions("2", "1", "0");
    const std::string source = Source("Script", "kept.mq4");
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
    auto tarvex = Start(source);
    const auto error = driver::AnswerMessageBox(tarvex->Pid(), "OK");
    EXPECT_NE(error.text.find(source), std::string::npos) << error.text;
    EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
    EXPECT_TRUE(PathExists(source));
    EXPECT_EQ(ReadBytes(mt.KindFolder("Script") + "\\kept.mq4"), e2e::SourceText("Script"));
    EXPECT_EQ(mt.Runs().size(), 1u);
}

// Explorer starts one instance per selected file.
TEST_F(Road, FiveInstancesAtOnceEachInstallCompileAndOpenTheirSource) {
    e2e::StoreOptions("1", "0", "0");
    const char* kinds[] = {"Expert Advisor", "Indicator", "Script", "Library", "Indicator"};
    std::vector<std::string> installed;
    std::vector<std::unique_ptr<driver::Program>> instances;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "multi " + std::to_string(i) + ".mq4";
        instances.push_back(Start("\"" + Source(kinds[i], name) + "\""));
        installed.push_back(mt.KindFolder(kinds[i]) + "\\" + name);
    }
    for (auto& instance : instances) {
        EXPECT_EQ(ExitCodeOf(*instance), 0u);
    }
    const auto runs = mt.WaitForRuns(10);
    EXPECT_EQ(runs.size(), 10u);
    for (const auto& path : installed) {
        EXPECT_TRUE(PathExists(path));
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

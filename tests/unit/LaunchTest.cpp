#include "Driver.h"
#include "StandInTerminal.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using testing_support::PathExists;
using testing_support::ReadBytes;
using testing_support::StandInTerminal;
using testing_support::WriteBytes;

// The batch line for a path under the test's folder, whose own name is written as given.
std::string Expected(const std::string& folder, const char* command, const std::string& file) {
    return "cd /d \"" + folder + "\"\r\n" + command + "\"" + file + "\"\r\n";
}

struct Names {
    const char* terminal;
    const char* source;
    const char* terminalInBatch; // as the batch file must spell them: every % doubled
    const char* sourceInBatch;
};

class BatchFiles : public ::testing::TestWithParam<Names> {};

TEST_P(BatchFiles, HoldTheExactBytesAndRunTheToolsOnTheFile) {
    StandInTerminal mt(GetParam().terminal);
    const std::string source = mt.Experts() + "\\" + GetParam().source;
    WriteBytes(source, "int start() { return(0); }");

    const std::string base = mt.Path().substr(0, mt.Path().rfind('\\') + 1);
    const std::string folderText = base + GetParam().terminalInBatch;
    const std::string sourceText = folderText + "\\experts\\" + GetParam().sourceInBatch;

    terminal::Compile(source);
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
    EXPECT_EQ(ReadBytes(mt.Path() + "\\compile.bat.seen"),
              Expected(folderText, "metalang -q ", sourceText));
    EXPECT_TRUE(PathExists(source.substr(0, source.size() - 4) + ".ex4"));

    terminal::OpenMetaEditor(source);
    EXPECT_EQ(ReadBytes(mt.Path() + "\\run.bat"), Expected(folderText, "MetaEditor ", sourceText));

    const auto runs = mt.WaitForRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].program, "metalang");
    EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + source + "\"");
    EXPECT_EQ(runs[1].program, "MetaEditor");
    EXPECT_EQ(runs[1].commandLine, "MetaEditor \"" + source + "\"");
    for (const auto& run : runs) {
        EXPECT_EQ(run.folder, mt.Path()) << run.program;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, BatchFiles,
    ::testing::Values(Names{"MetaTrader 4", "plain.mq4", "MetaTrader 4", "plain.mq4"},
                      Names{"MT4 & Co", "ea & more.mq4", "MT4 & Co", "ea & more.mq4"},
                      Names{"100% MT", "my 50% ea.mq4", "100%% MT", "my 50%% ea.mq4"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(Launch, WithoutTerminalCompileIsSilentAndOpeningFails) {
    testing_support::ForgetTerminal();
    terminal::Compile("C:\\sources\\a.mq4");
    EXPECT_FALSE(PathExists("NA\\compile.bat"));
    EXPECT_THROW(terminal::OpenMetaEditor("C:\\sources\\a.mq4"), sys::SysError);
}

TEST(Launch, CompilingTwiceWritesTheBatchFileAfresh) {
    StandInTerminal mt;
    const std::string longer = mt.Experts() + "\\a much longer name of a source.mq4";
    const std::string shorter = mt.Experts() + "\\b.mq4";
    WriteBytes(longer, "");
    WriteBytes(shorter, "");
    terminal::Compile(longer);
    terminal::Compile(shorter);
    EXPECT_EQ(ReadBytes(mt.Path() + "\\compile.bat.seen"),
              Expected(mt.Path(), "metalang -q ", shorter)); // no % in these paths
    EXPECT_EQ(mt.WaitForRuns(2).size(), 2u);
}

// Explorer starts one instance per selected file; they share the terminal's batch files.
TEST(Launch, InstancesAtOnceCompileAndOpenEachSourceOnce) {
    StandInTerminal mt;
    SetEnvironmentVariableA("TARVEX_STANDIN_DELAY_MS", "150");
    constexpr int kInstances = 5;
    std::vector<std::string> sources;
    std::vector<std::unique_ptr<driver::Program>> probes;
    for (int i = 0; i < kInstances; ++i) {
        sources.push_back(mt.Experts() + "\\source " + std::to_string(i) + ".mq4");
        WriteBytes(sources.back(), "");
    }
    for (const auto& source : sources) {
        probes.push_back(std::make_unique<driver::Program>(
            testing_support::BuildFolder() + "\\launch_probe.exe", "\"" + source + "\""));
    }
    for (auto& probe : probes) {
        DWORD code = 99;
        EXPECT_TRUE(probe->WaitForExit(120000, &code));
        EXPECT_EQ(code, 0u);
    }
    SetEnvironmentVariableA("TARVEX_STANDIN_DELAY_MS", nullptr);

    const auto runs = mt.WaitForRuns(2 * kInstances);
    for (const auto& source : sources) {
        for (const char* program : {"metalang", "MetaEditor"}) {
            const auto count = std::count_if(runs.begin(), runs.end(), [&](const auto& run) {
                return run.program == program &&
                       run.commandLine.find("\"" + source + "\"") != std::string::npos;
            });
            EXPECT_EQ(count, 1) << program << " on " << source;
        }
    }
    EXPECT_EQ(runs.size(), 2u * kInstances);
    EXPECT_FALSE(PathExists(mt.Path() + "\\compile.bat"));
}

} // namespace

// Compile and OpenMetaEditor on their own; the install road tests the batch files' text.
#include "StandInTerminal.h"
#include "terminal/Terminal.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ReadBytes;

TEST(Launch, WithoutTerminalCompileIsSilentAndOpeningFails) {
    testing_support::ForgetTerminal();
    terminal::Compile("C:\\sources\\a.mq4");
    EXPECT_FALSE(testing_support::PathExists("NA\\compile.bat"));
    EXPECT_THROW(terminal::OpenMetaEditor("C:\\sources\\a.mq4"), std::exception);
}

TEST(Launch, CompilingTwiceWritesTheBatchFileAfresh) {
    testing_support::StandInTerminal mt;
    const std::string experts = mt.KindFolder("Expert Advisor");
    terminal::Compile(experts + "\\a much longer name of a source.mq4");
    terminal::Compile(experts + "\\b.mq4");
    EXPECT_EQ(ReadBytes(mt.Path() + "\\compile.bat.seen"),
              "cd /d \"" + mt.Path() + "\"\r\nmetalang -q \"" + experts + "\\b.mq4\"\r\n");
    EXPECT_EQ(mt.WaitForRuns(2).size(), 2u);
    EXPECT_FALSE(testing_support::PathExists(mt.Path() + "\\compile.bat"));
}

} // namespace

// Starting the program with an argument: the last three characters decide whether it names a
// source. One that does not is refused before anything else; one that does goes on to the
// install, which here finds no such file.
#include "Road.h"

namespace {

class Argument : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(Argument, IsRefusedOrTakenByItsLastThreeCharacters) {
    const auto [tail, accepted] = GetParam();
    driver::Program tarvex(e2e::TarvexExe(), tail);
    const auto message = driver::AnswerMessageBox(tarvex.Pid(), IDOK);
    EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "frMain", nullptr), nullptr);
    if (accepted) {
        EXPECT_EQ(message.text.rfind("Could not open the source file:", 0), 0u) << message.text;
    } else {
        EXPECT_EQ(message.text, "Un-recognized file type");
    }
    EXPECT_EQ(message.look, "Tarvex: OK, stop");
    DWORD code = 0;
    ASSERT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs, &code));
    EXPECT_EQ(code, accepted ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, Argument,
    ::testing::Values(std::pair{R"(C:\sources\notes.txt)", false},
                      std::pair{R"("C:\sources\my ea.mq4 ")", false}, // nothing is trimmed
                      std::pair{R"(C:\sources\ea.mq4 )", false}, std::pair{R"("")", false},
                      std::pair{R"(C:\sources\a.mq5)", false},
                      std::pair{u8"C:\\sources\\a.ｍｑ４", false}, // look-alikes
                      std::pair{u8"\"C:\\sources\\Заметки.txt\"", false},
                      std::pair{R"(C:\sources\none.MQ4)", true},
                      std::pair{R"(C:\sources\amq4)", true},
                      std::pair{R"("C:\sources\my "quoted" ea.Mq4")", true}));

} // namespace

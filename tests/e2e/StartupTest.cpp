// Starting the program with an argument that names no MQL4 source.
#include "Road.h"

namespace {

struct Refusal {
    const char* name;
    const char* commandTail;
};

class RefusedArgument : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedArgument, ShowsCriticalMessageAndEndsWithoutTheWindow) {
    driver::Program tarvex(e2e::TarvexExe(), GetParam().commandTail);

    HWND box = driver::WaitForWindow(tarvex.Pid(), "#32770", nullptr, e2e::kTimeoutMs);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "frMain", nullptr), nullptr);
    const auto message = driver::AnswerMessageBox(tarvex.Pid(), IDOK);
    EXPECT_EQ(message.text, "Un-recognized file type");
    EXPECT_EQ(message.caption, "Tarvex");
    EXPECT_EQ(message.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(message.icon, static_cast<UINT>(MB_ICONHAND));

    DWORD code = 0;
    ASSERT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs, &code));
    EXPECT_EQ(code, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusedArgument,
    ::testing::Values(Refusal{"TextFile", R"(C:\sources\notes.txt)"},
                      Refusal{"TrailingBlankInQuotes", R"("C:\sources\my ea.mq4 ")"},
                      Refusal{"TrailingBlankUnquoted", R"(C:\sources\ea.mq4 )"},
                      Refusal{"OnlyTwoQuotes", R"("")"},
                      // the extension is looked at before the name's characters
                      Refusal{"CyrillicTextFile", u8"\"C:\\sources\\Заметки.txt\""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

// How the start reads its command line, on its own: everything after the program's path and its
// blanks, not split; the terminal's switch first, the rest the source, less its quotes.
#include "app/Arguments.h"

#include <gtest/gtest.h>

namespace {

TEST(Arguments, AreTheTerminalsSwitchFirstAndTheSourceAfterIt) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* parsed; // the terminal's folder|the source
    } cases[] = {
        {LR"("C:\Program Files\Tarvex.exe"   )", L"|"},
        {LR"(C:\Tools\Tarvex.exe)", L"|"},
        {LR"(C:\Tools\Tarvex.exe C:\my sources\a.mq4)", LR"(|C:\my sources\a.mq4)"},
        {LR"("C:\Program Files\Tarvex.exe" "C:\my "quoted" ea.mq4")", LR"(|C:\my quoted ea.mq4)"},
        {L"Tarvex.exe \t a.mq4 ", L"|a.mq4 "},
        {L"\"C:\\\u0422\\Tarvex.exe\" \"C:\\\u043F.mq4\"", L"|C:\\\u043F.mq4"},
        {LR"(T.exe /terminal:"C:\Program Files\MT4 Pro" "C:\a b.mq4")",
         LR"(C:\Program Files\MT4 Pro|C:\a b.mq4)"},
        {LR"(T.exe /Terminal:C:\MT4	 C:\a b.mq4)", LR"(C:\MT4|C:\a b.mq4)"},
        {LR"(T.exe /terminal:"C:\MT4\" "C:\a.mq5")", LR"(C:\MT4\|C:\a.mq5)"},
        {LR"(T.exe /terminal:* "C:\a.mq4")", LR"(*|C:\a.mq4)"},
        {LR"(T.exe /terminal:"C:\MT4)", LR"(C:\MT4|)"},
        {L"T.exe /terminal:", L"|"},
        {LR"(T.exe C:\a.mq4 /terminal:C:\MT4)", LR"(|C:\a.mq4 /terminal:C:\MT4)"},
    };
    for (const auto& c : cases) {
        const app::Arguments arguments = app::ParseArguments(app::ArgumentText(c.commandLine));
        EXPECT_EQ(arguments.terminal + L"|" + arguments.source, c.parsed) << c.commandLine;
    }
}

} // namespace

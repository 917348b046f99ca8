// How the start reads its argument, on its own.
#include "app/Arguments.h"

#include <gtest/gtest.h>

namespace {

TEST(ArgumentText, IsEverythingAfterTheProgramPathAndItsBlanks) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {LR"("C:\Program Files\Tarvex.exe")", L""},
        {LR"("C:\Program Files\Tarvex.exe"   )", L""},
        {LR"(C:\Tools\Tarvex.exe)", L""},
        {LR"(C:\Tools\Tarvex.exe C:\my sources\a.mq4)", LR"(C:\my sources\a.mq4)"},
        {LR"("C:\Program Files\Tarvex.exe" "C:\my sources\a.mq4")", LR"("C:\my sources\a.mq4")"},
        {L"Tarvex.exe \t a.mq4 ", L"a.mq4 "},
        {L"\"C:\\\u0422\\Tarvex.exe\" \"C:\\\u043F.mq4\"", L"\"C:\\\u043F.mq4\""},
    };
    for (const auto& [commandLine, argument] : cases) {
        EXPECT_EQ(app::ArgumentText(commandLine), argument);
    }
}

// The terminal's switch comes first; the rest is the source, less its quotes.
TEST(ParseArguments, TakesTheTerminalsSwitchFirstAndTheSourceAfterIt) {
    const struct {
        const wchar_t* text;
        const wchar_t* terminal;
        const wchar_t* source;
    } cases[] = {
        {LR"("C:\my "quoted" ea.mq4")", L"", LR"(C:\my quoted ea.mq4)"},
        {LR"(/terminal:"C:\Program Files\MT4 Pro" "C:\a b.mq4")", LR"(C:\Program Files\MT4 Pro)",
         LR"(C:\a b.mq4)"},
        {LR"(/Terminal:C:\MT4	 C:\a b.mq4)", LR"(C:\MT4)", LR"(C:\a b.mq4)"},
        {LR"(/terminal:"C:\MT4\" "C:\a.mq5")", LR"(C:\MT4\)", LR"(C:\a.mq5)"},
        {LR"(/terminal:* "C:\a.mq4")", L"*", LR"(C:\a.mq4)"},
        {LR"(/terminal:"C:\MT4)", LR"(C:\MT4)", L""},
        {L"/terminal:", L"", L""},
        {LR"(C:\a.mq4 /terminal:C:\MT4)", L"", LR"(C:\a.mq4 /terminal:C:\MT4)"},
    };
    for (const auto& c : cases) {
        const app::Arguments arguments = app::ParseArguments(c.text);
        EXPECT_EQ(arguments.terminal + L"|" + arguments.source,
                  std::wstring(c.terminal) + L"|" + c.source);
    }
}

} // namespace

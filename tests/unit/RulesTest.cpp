// How the start reads its command line, on its own: everything after the program's path and its
// blanks; the switches first, in any order; the rest one source less its quotes, or several when
// each is quoted.
#include "app/Arguments.h"

#include <gtest/gtest.h>

namespace {

TEST(Arguments, AreTheSwitchesFirstAndTheSourcesAfterThem) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* parsed; // the terminal's folder|q for /quiet, r for /replace|each source;
                               // or what is wrong, to its first full stop
    } cases[] = {
        {LR"("C:\Program Files\Tarvex.exe"   )", L"|"},
        {LR"(C:\Tools\Tarvex.exe)", L"|"},
        {LR"(C:\Tools\Tarvex.exe C:\my sources\a.mq4)", LR"(||C:\my sources\a.mq4)"},
        {LR"("C:\Program Files\Tarvex.exe" "C:\my "quoted" ea.mq4")", LR"(||C:\my quoted ea.mq4)"},
        {L"Tarvex.exe \t a.mq4 ", L"||a.mq4 "},
        {L"\"C:\\\u0422\\Tarvex.exe\" \"C:\\\u043F.mq4\"", L"||C:\\\u043F.mq4"},
        {LR"(T.exe "C:\a.mq4" "C:\b c.mq5"  "D:\d.mq4" )", LR"(||C:\a.mq4|C:\b c.mq5|D:\d.mq4)"},
        {LR"(T.exe "C:\a.mq4" C:\b.mq4)", LR"(||C:\a.mq4 C:\b.mq4)"},
        {LR"(T.exe "C:\a.mq4""C:\b.mq4")", LR"(||C:\a.mq4C:\b.mq4)"},
        {LR"(T.exe "" "a.mq4")", LR"(|||a.mq4)"},
        {LR"(T.exe /terminal:"C:\Program Files\MT4 Pro" "C:\a b.mq4")",
         LR"(C:\Program Files\MT4 Pro||C:\a b.mq4)"},
        {LR"(T.exe /Terminal:C:\MT4	 C:\a b.mq4)", LR"(C:\MT4||C:\a b.mq4)"},
        {LR"(T.exe /terminal:"C:\MT4\" "C:\a.mq5")", LR"(C:\MT4\||C:\a.mq5)"},
        {LR"(T.exe /QUIET /replace /terminal:* "a.mq4" "b.mq4")", LR"(*|qr|a.mq4|b.mq4)"},
        {LR"(T.exe C:\a.mq4 /terminal:C:\MT4)", LR"(||C:\a.mq4 /terminal:C:\MT4)"},
        {LR"(T.exe /terminal:"C:\MT4)", L"No source file follows the switches"},
        {L"T.exe /quiet", L"No source file follows the switches"},
        {L"T.exe /terminal: a.mq4", L"The switch /terminal: names no terminal's folder"},
        {L"T.exe /replace /Verbose a.mq4", L"Tarvex knows no switch /Verbose"},
        {L"T.exe /terminal a.mq4", L"Tarvex knows no switch /terminal"},
    };
    for (const auto& c : cases) {
        const app::Arguments arguments = app::ParseArguments(app::ArgumentText(c.commandLine));
        std::wstring parsed = arguments.terminal + L"|" + (arguments.quiet ? L"q" : L"") +
                              (arguments.replace ? L"r" : L"");
        for (const std::wstring& source : arguments.sources) {
            parsed += L"|" + source;
        }
        EXPECT_EQ(arguments.wrong.empty() ? parsed
                                          : arguments.wrong.substr(0, arguments.wrong.find(L'.')),
                  c.parsed)
            << c.commandLine;
    }
}

} // namespace

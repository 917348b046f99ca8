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

} // namespace

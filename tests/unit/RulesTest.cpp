// The rules the start and the install follow, on their own.
#include "app/Arguments.h"
#include "app/Placement.h"

#include <gtest/gtest.h>

#include <windows.h>

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

TEST(Placement, FollowsWhatTheKindFolderHoldsAndOnlyYesReplaces) {
    using app::Placement;
    EXPECT_EQ(app::PlacementOf(false, false), Placement::Copy);
    EXPECT_EQ(app::PlacementOf(false, true), Placement::Ask);
    EXPECT_EQ(app::PlacementOf(true, true), Placement::InPlace);
    EXPECT_EQ(app::PlacementOf(true, false), Placement::Copy); // a folder of that name elsewhere
    EXPECT_TRUE(app::Replaces(IDYES));
    for (const int other : {IDNO, IDCANCEL, IDOK, 0}) { // 0: the box could not be shown
        EXPECT_FALSE(app::Replaces(other)) << other;
    }
}

} // namespace

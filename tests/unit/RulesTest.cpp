// The rules the start and the install follow, on their own.
#include "app/Arguments.h"
#include "app/Placement.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(ArgumentText, IsEverythingAfterTheProgramPathAndItsBlanks) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* argument;
    } cases[] = {
        {LR"("C:\Program Files\Tarvex.exe")", L""},
        {LR"("C:\Program Files\Tarvex.exe"   )", L""},
        {LR"(C:\Tools\Tarvex.exe)", L""},
        {LR"(C:\Tools\Tarvex.exe C:\my sources\a.mq4)", LR"(C:\my sources\a.mq4)"},
        {LR"("C:\Program Files\Tarvex.exe" "C:\my sources\a.mq4")", LR"("C:\my sources\a.mq4")"},
        {L"Tarvex.exe \t a.mq4 ", L"a.mq4 "},
        {LR"("C:\Program Files\Tarvex.exe" "")", LR"("")"},
        {L"\"C:\\\u0422\u0430\u0440\\Tarvex.exe\" \"C:\\\u043F\u0440\u0438\u043C\u0435\u0440.mq4\"",
         L"\"C:\\\u043F\u0440\u0438\u043C\u0435\u0440.mq4\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::ArgumentText(c.commandLine), c.argument);
    }
}

TEST(HasSourceExtension, LooksAtTheLastThreeCharactersOnly) {
    const struct {
        const wchar_t* path;
        bool accepted;
    } cases[] = {
        {LR"(C:\x\a.mq4)", true},
        {LR"(C:\x\a.MQ4)", true},
        {LR"(C:\x\a.Mq4)", true},
        {LR"(C:\x\amq4)", true},
        {L"mq4", true},
        {LR"(C:\x\a.mq4 )", false},
        {LR"(C:\x\a.txt)", false},
        {LR"(C:\x\a.mq5)", false},
        {L"q4", false},
        {L"", false},
        {LR"(C:\x\a.ex4)", false},
        {L"C:\\x\\a.\uFF4D\uFF51\uFF14", false}, // full-width look-alikes are other letters
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::HasSourceExtension(c.path), c.accepted) << c.accepted;
    }
}

TEST(Placement, FollowsWhatTheKindFolderHoldsAndOnlyYesReplaces) {
    const struct {
        bool sameFolder;
        bool exists;
        app::Placement placement;
    } cases[] = {
        {false, false, app::Placement::Copy},
        {false, true, app::Placement::Ask},
        {true, true, app::Placement::InPlace},
        {true, false, app::Placement::Copy}, // a folder of the kind folder's name elsewhere
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::PlacementOf(c.sameFolder, c.exists), c.placement)
            << c.sameFolder << c.exists;
    }
    EXPECT_TRUE(app::Replaces(IDYES));
    for (const int other : {IDNO, IDCANCEL, IDOK, 0}) { // 0: the box could not be shown
        EXPECT_FALSE(app::Replaces(other)) << other;
    }
}

} // namespace

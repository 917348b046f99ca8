#include "app/Arguments.h"
#include "sys/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(ArgumentText, IsEverythingAfterTheProgramPathAndItsBlanks) {
    const struct {
        const char* commandLine;
        const char* argument;
    } cases[] = {
        {R"("C:\Program Files\Tarvex.exe")", ""},
        {R"("C:\Program Files\Tarvex.exe"   )", ""},
        {R"(C:\Tools\Tarvex.exe)", ""},
        {R"(C:\Tools\Tarvex.exe C:\my sources\a.mq4)", R"(C:\my sources\a.mq4)"},
        {R"("C:\Program Files\Tarvex.exe" "C:\my sources\a.mq4")", R"("C:\my sources\a.mq4")"},
        {"Tarvex.exe \t a.mq4 ", "a.mq4 "},
        {R"("C:\Program Files\Tarvex.exe" "")", R"("")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::ArgumentText(c.commandLine), c.argument) << c.commandLine;
    }
}

TEST(RemoveQuotes, RemovesEveryQuoteWherever) {
    EXPECT_EQ(sys::RemoveQuotes(R"("C:\a b\x.mq4")"), R"(C:\a b\x.mq4)");
    EXPECT_EQ(sys::RemoveQuotes(R"(C:\a"b\x".mq4)"), R"(C:\ab\x.mq4)");
    EXPECT_EQ(sys::RemoveQuotes(R"("")"), "");
    EXPECT_EQ(sys::RemoveQuotes("no quotes"), "no quotes");
}

TEST(HasSourceExtension, LooksAtTheLastThreeCharactersOnly) {
    const struct {
        const char* path;
        bool accepted;
    } cases[] = {
        {R"(C:\x\a.mq4)", true},
        {R"(C:\x\a.MQ4)", true},
        {R"(C:\x\a.Mq4)", true},
        {R"(C:\x\amq4)", true},
        {"mq4", true},
        {R"(C:\x\a.mq4 )", false},
        {R"(C:\x\a.txt)", false},
        {R"(C:\x\a.mq5)", false},
        {"q4", false},
        {"", false},
        {R"(C:\x\a.ex4)", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::HasSourceExtension(c.path), c.accepted) << '[' << c.path << ']';
    }
}

} // namespace

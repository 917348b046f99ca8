#include "TestSupport.h"
#include "sys/SysError.h"
#include "terminal/Terminal.h"

#include <gtest/gtest.h>

namespace {

using testing_support::TempFolder;

struct KindCase {
    const char* name;
    std::string text;
    const char* kind;
};

class GetTypeOfSource : public ::testing::TestWithParam<KindCase> {};

TEST_P(GetTypeOfSource, FindsTheKind) {
    TempFolder dir;
    std::string path = dir / "source.mq4";
    testing_support::WriteBytes(path, GetParam().text);
    EXPECT_EQ(terminal::GetType(path), GetParam().kind);
    EXPECT_EQ(terminal::GetType(path), GetParam().kind) << "the same again";
}

const std::string kLongFiller(200000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Markers, GetTypeOfSource,
    ::testing::Values(
        KindCase{"Empty", "", "Expert Advisor"},
        KindCase{"NoMarker", "int start()\r\n{\r\n   return(0);\r\n}\r\n", "Expert Advisor"},
        KindCase{"ChartWindow", "#property indicator_chart_window\r\n", "Indicator"},
        KindCase{"SeparateWindow", "#property indicator_separate_window\r\n", "Indicator"},
        KindCase{"BareIndicatorWord", "// draws in indicator_chart_window", "Indicator"},
        KindCase{"LibraryInCapitals", "#PROPERTY LIBRARY\r\n", "Library"},
        KindCase{"ShowInputs", "#property show_inputs\r\n", "Script"},
        KindCase{"ShowConfirm", "#property show_confirm", "Script"},
        KindCase{"LastFieldDecides",
                 "#property show_inputs\r\nint x;\r\n// see indicator_chart_window\r\n",
                 "Indicator"},
        KindCase{"LibraryBeatsIndicatorInOneField",
                 "#property library // indicator_chart_window\r\n", "Library"},
        KindCase{"ScriptBeatsLibraryInOneField",
                 "indicator_chart_window #property library "
                 "#property show\n",
                 "Script"},
        KindCase{"CommaMakesTwoFields", "#property library, indicator_chart_window\r\n",
                 "Indicator"},
        KindCase{"LaterFieldOnTheLine", "indicator_chart_window,#property library\n", "Library"},
        KindCase{"TwoSpacesDoNotMatch", "#property  library\r\n", "Expert Advisor"},
        KindCase{"TabDoesNotMatch", "#property\tshow_inputs\r\n", "Expert Advisor"},
        KindCase{"InsideStringLiteral", "string s = \"#property library\";\n", "Library"},
        KindCase{"QuotedFieldKeepsItsCommas",
                 "#property library\n \"a, indicator_chart_window, b\"\n", "Indicator"},
        KindCase{"TextAfterClosingQuoteIsDropped",
                 "#property library\n\"a\" indicator_chart_window\n", "Library"},
        KindCase{"LineEndsAnOpenQuote", "\"open #property library\nindicator_separate_window",
                 "Indicator"},
        KindCase{"MarkerAcrossTheReadChunk",
                 kLongFiller.substr(0, 65536 - 10) + "#property library\r\n", "Library"},
        KindCase{"MarkerAtTheVeryEnd", kLongFiller + "\n#property show", "Script"},
        KindCase{"NoMarkerAfterBinaryBytes", std::string("\0\xFF\x80,\"", 5) + kLongFiller,
                 "Expert Advisor"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetType, RemovesQuotesFromTheCallersPath) {
    TempFolder dir;
    testing_support::WriteBytes(dir / "my source.mq4", "#property library");
    std::string path = "\"" + (dir / "my source.mq4") + "\"";
    EXPECT_EQ(terminal::GetType(path), "Library");
    EXPECT_EQ(path, dir / "my source.mq4");
}

TEST(GetType, FileErrorsReachTheCallerNeverAKind) {
    TempFolder dir;
    CreateDirectoryA((dir / "folder.mq4").c_str(), nullptr);
    for (const std::string& missing :
         {dir / "missing.mq4", dir / "folder.mq4", std::string(), std::string("C:\\bad<|>.mq4")}) {
        std::string path = missing;
        EXPECT_THROW(terminal::GetType(path), sys::SysError) << missing;
    }
    std::string path = dir / "missing.mq4";
    try {
        terminal::GetType(path);
    } catch (const sys::SysError& error) {
        EXPECT_EQ(error.Path(), path);
        EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

} // namespace

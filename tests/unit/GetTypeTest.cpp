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

// The text as an editor saves it in UTF-16, with its byte-order mark.
std::string Utf16(const std::string& utf8, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t unit : testing_support::Wide(utf8)) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

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
                 "Expert Advisor"},
        // Sources saved as Unicode are read as the text they encode, by the same rules.
        KindCase{"Utf16Indicator", Utf16("#property indicator_chart_window\r\n"), "Indicator"},
        KindCase{"Utf16BigEndianInCapitals", Utf16("int x;\n#PROPERTY LIBRARY", true), "Library"},
        KindCase{"Utf16CommaMakesTwoFields", Utf16("#property library, indicator_chart_window"),
                 "Indicator"},
        KindCase{"Utf16QuotedFieldKeepsItsCommas",
                 Utf16("#property library\n \"a, indicator_chart_window, b\"\n"), "Indicator"},
        KindCase{"Utf16OtherLettersMatchNothing", Utf16(u8"#property ｓhow_inputs // Привет"),
                 "Expert Advisor"},
        KindCase{"Utf16OddLastByte", Utf16("#property show_inputs") + "A", "Script"},
        KindCase{"Utf16MarkerAcrossReads", Utf16(kLongFiller + "\n#property library"), "Library"},
        KindCase{"Utf16WithoutMarkIsBytes", Utf16("#property library").substr(2), "Expert Advisor"},
        KindCase{"Utf8MarkIsNotText", "\xEF\xBB\xBF\"x\" #property library", "Expert Advisor"},
        KindCase{"Utf8Script", u8"\xEF\xBB\xBF// Grüße\n#property show_confirm", "Script"}),
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

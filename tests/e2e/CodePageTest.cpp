// Names as users' systems write them. The program holds paths in the ANSI code page and cmd
// reads batch files in the console (OEM) code page: the tools are given the true path, or
// the program says plainly why it cannot be, before anything is copied. What each name
// needs is asked of the code pages of the system the test runs on.
#include "Road.h"

namespace {

using testing_support::InCodePage;
using testing_support::PathExists;
using testing_support::ReadBytes;

struct NameCase {
    const char* name;
    const char* terminal; // the terminal folder's own name
    const char* folder;   // the source's own folder name
    const char* file;     // the source's file name
    const char* decoy;    // another file in that folder, which must stay as it is
};

class Names : public e2e::Road, public ::testing::WithParamInterface<NameCase> {};

// What a batch file must hold for cmd to hand this path to the tool, in the console's code
// page: every % doubled.
std::string BatchBytes(const std::string& terminal, const char* command, const std::string& file) {
    const auto escaped = [](std::string text) {
        for (auto at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
            text.insert(at, 1, '%');
        }
        return text;
    };
    return InCodePage("cd /d \"" + escaped(terminal) + "\"\r\n" + command + "\"" + escaped(file) +
                          "\"\r\n",
                      CP_OEMCP);
}

TEST_P(Names, ToolsGetTheTruePathOrNothingHappens) {
    if (InCodePage(GetParam().terminal, CP_ACP).empty()) {
        GTEST_SKIP() << "a terminal folder this code page cannot express is not registered";
    }
    testing_support::StandInTerminal terminal(GetParam().terminal);
    e2e::StoreOptions("1", "1", "0");
    const std::string folder = sources / GetParam().folder;
    const std::string source = Source("Indicator", GetParam().file, folder);
    const std::string decoy = folder + "\\" + (GetParam().decoy ? GetParam().decoy : "none");
    if (GetParam().decoy) {
        testing_support::WriteBytes(decoy, "another file");
    }
    const std::string installed = terminal.KindFolder("Indicator") + "\\" + GetParam().file;
    auto tarvex = Start("\"" + source + "\"");

    const char* refusal = InCodePage(source, CP_ACP).empty() ? "this system's code page"
                          : InCodePage(installed, CP_OEMCP).empty()
                              ? "The compiler cannot be handed this path"
                              : nullptr;
    if (refusal != nullptr) {
        const auto error = driver::AnswerMessageBox(tarvex->Pid(), IDOK);
        EXPECT_NE(error.text.find(refusal), std::string::npos) << error.text;
        const std::string named = InCodePage(source, CP_ACP).empty() ? source : installed;
        EXPECT_NE(error.text.find(named), std::string::npos) << error.text;
        EXPECT_EQ(error.icon, static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(ExitCodeOf(*tarvex), 2u);
        EXPECT_FALSE(PathExists(installed));
        EXPECT_TRUE(PathExists(source));
        EXPECT_TRUE(terminal.Runs().empty());
        EXPECT_FALSE(PathExists(terminal.Path() + "\\run.bat"));
    } else {
        EXPECT_EQ(ExitCodeOf(*tarvex), 0u);
        EXPECT_EQ(ReadBytes(installed), e2e::SourceText("Indicator"));
        EXPECT_FALSE(PathExists(source)); // deleted once installed
        const auto runs = terminal.WaitForRuns(2);
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_EQ(runs[0].commandLine, "metalang -q \"" + installed + "\"");
        EXPECT_EQ(runs[1].commandLine, "MetaEditor \"" + installed + "\"");
        for (const auto& run : runs) {
            EXPECT_TRUE(run.fileFound) << run.program;
            EXPECT_EQ(run.batchLine, run.commandLine) << run.program;
            EXPECT_EQ(run.folder, terminal.Path()) << run.program;
        }
        EXPECT_EQ(ReadBytes(terminal.Path() + "\\compile.bat.seen"),
                  BatchBytes(terminal.Path(), "metalang -q ", installed));
        EXPECT_EQ(ReadBytes(terminal.Path() + "\\run.bat"),
                  BatchBytes(terminal.Path(), "MetaEditor ", installed));
    }
    if (GetParam().decoy) {
        EXPECT_EQ(ReadBytes(decoy), "another file");
        EXPECT_FALSE(PathExists(terminal.KindFolder("Indicator") + "\\" + GetParam().decoy));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Names,
    ::testing::Values(
        NameCase{"Plain", "MetaTrader 4", "sources", "plain.mq4", nullptr},
        NameCase{"AmpersandAndPercent", "100% MT & Co", "sources", "ea & 50% more.mq4", nullptr},
        NameCase{"Accented", "MetaTrader 4", "sources", u8"Café ü.mq4", nullptr},
        NameCase{"AccentedTerminal", u8"MetaTrader Bénin", "sources", "plain.mq4", nullptr},
        NameCase{"Cyrillic", "MetaTrader 4", "sources", u8"Пример.mq4", nullptr},
        NameCase{"CyrillicTerminal", u8"Терминал", "sources", "plain.mq4", nullptr},
        NameCase{"Chinese", "MetaTrader 4", "sources", u8"示例.mq4", nullptr},
        NameCase{"Euro", "MetaTrader 4", "sources", u8"€uro.mq4", nullptr},
        NameCase{"EuroInTheSourcesFolderOnly", "MetaTrader 4", u8"€ sources", "plain.mq4", nullptr},
        NameCase{"LookAlikeOfAnotherFile", "MetaTrader 4", "sources", u8"Łódź.mq4", u8"Lódz.mq4"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

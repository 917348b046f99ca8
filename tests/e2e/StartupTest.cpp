// A start with an argument registers the "Compile" verb of the program where it lies, on every
// .mq4 file too while another class owns them; then the argument's last three characters
// decide whether it names a source. One that does not is refused before anything else; one
// that does goes on to the install, which here finds no such file. (The verb used through the
// shell: the setup's test.)
#include "Road.h"

#include <algorithm>
#include <set>

namespace {

using testing_support::KeyExists;
using testing_support::StoredText;

const std::string kUserChoice =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.mq4\\UserChoice";
using e2e::kAnyClassVerb;
const std::string kMq5Verb = "SystemFileAssociations\\.mq5\\shell\\Compile";

struct Start {
    const char* tail;
    bool accepted;
    const char* owner = "MQLEditor4.File"; // the class of .mq4 by default; "": none
    const char* choice = nullptr;          // the class the user chose for .mq4 in Explorer
    const char* entry = nullptr; // the command of another program's entry on every .mq4 file
};

class Argument : public ::testing::TestWithParam<Start> {
protected:
    // The program where a user may keep it, in a folder named in another script than the
    // system's code page, and a label of someone else's on the verb.
    static void SetUpTestSuite() {
        testing_support::MakeFolder(tools / u8"Мои инструменты");
        ASSERT_TRUE(CopyFileW(testing_support::Wide(e2e::TarvexExe()).c_str(),
                              testing_support::Wide(Copy()).c_str(), FALSE));
        testing_support::SetText(HKEY_CLASSES_ROOT, e2e::kVerb, "", "Someone's label");
    }
    static void TearDownTestSuite() {
        for (const std::string& key : {e2e::kVerb, kAnyClassVerb, kMq5Verb, std::string(".mq4")}) {
            testing_support::DeleteTree(HKEY_CLASSES_ROOT, key);
        }
        testing_support::DeleteTree(HKEY_CURRENT_USER, kUserChoice);
    }
    static std::string Copy() { return tools / u8"Мои инструменты\\Compile Helper.exe"; }
    static inline testing_support::TempFolder tools;
};

TEST_P(Argument, IsRefusedOrTakenByItsLastThreeCharacters) {
    const Start& c = GetParam();
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, ".mq4");
    testing_support::DeleteTree(HKEY_CURRENT_USER, kUserChoice);
    if (*c.owner != '\0') {
        testing_support::SetText(HKEY_CLASSES_ROOT, ".mq4", "", c.owner);
    }
    if (c.choice != nullptr) {
        testing_support::SetText(HKEY_CURRENT_USER, kUserChoice, "ProgId", c.choice);
    }
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, kAnyClassVerb);
    // Written by the tests' Tarvex.exe, it would be another program's entry to this one.
    testing_support::DeleteTree(HKEY_CLASSES_ROOT, kMq5Verb);
    if (c.entry != nullptr) {
        testing_support::SetText(HKEY_CLASSES_ROOT, kAnyClassVerb + "\\command", "", c.entry);
    }
    driver::Program tarvex(Copy(), c.tail);
    const auto message = driver::AnswerMessageBox(tarvex.Pid(), IDOK);
    EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "frMain", nullptr), nullptr);
    if (c.accepted) {
        EXPECT_EQ(message.text.rfind("Could not open the source file:", 0), 0u) << message.text;
    } else {
        EXPECT_EQ(message.text, "Un-recognized file type");
    }
    EXPECT_EQ(message.look, "Tarvex: OK, stop");
    EXPECT_EQ(e2e::ExitCodeOf(tarvex), 1u); // not installed
    const std::string command = "\"" + Copy() + "\" \"%1\"";
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, e2e::kVerb + "\\command"), command);
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, e2e::kVerb), "Someone's label");
    // Beside MetaEditor's own class the entry would show twice; another program's stays.
    const bool both = std::string(c.choice ? c.choice : c.owner) != "MQLEditor4.File";
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kAnyClassVerb + "\\command"), c.entry ? c.entry
                                                                          : both  ? command
                                                                                  : "<none>");
    // On every .mq5 file, whatever class owns them.
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kMq5Verb + "\\command"), command);
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kMq5Verb, "MultiSelectModel"), "Player");
    // Offered for up to 100 files chosen at once.
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, e2e::kVerb, "MultiSelectModel"), "Player");
    EXPECT_EQ(StoredText(HKEY_CLASSES_ROOT, kAnyClassVerb, "MultiSelectModel"),
              both && !c.entry ? "Player" : "<none>");
    // Written where it was allowed, so the user's own classes stay as they were.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, e2e::kUserClasses + "MQLEditor4.File") ||
                 KeyExists(HKEY_CURRENT_USER, e2e::kUserClasses + "SystemFileAssociations"));
}

INSTANTIATE_TEST_SUITE_P(
    Tails, Argument,
    ::testing::Values(Start{R"(C:\sources\notes.txt)", false},
                      Start{R"("C:\sources\my ea.mq4 ")", false, "txtfile"}, // nothing is trimmed
                      Start{R"(C:\sources\ea.mq4 )", false, ""},             // no class at all
                      Start{R"("")", false, "MQLEditor4.File", "Applications\notepad.exe"},
                      Start{R"(C:\sources\a.mq3)", false, "txtfile", "MQLEditor4.File"},
                      Start{R"(C:\sources\a.MQ5)", true, "txtfile", "MQLEditor4.File"},
                      Start{u8"C:\\sources\\a.ｍｑ４", false}, // look-alikes
                      Start{u8"\"C:\\sources\\Заметки.txt\"", false},
                      Start{R"(C:\sources\none.MQ4)", true},
                      Start{R"(C:\sources\amq4)", true, "txtfile"},
                      Start{R"(C:\sources\a.mq4)", true, "txtfile", nullptr,
                            R"("C:\Tools\Other.exe" "%1")"},
                      Start{R"("C:\sources\my "quoted" ea.Mq4")", true}));

} // namespace

namespace {

using testing_support::Layout;
using testing_support::StandInTerminal;

// "Compile in" for each kind of source, as a start leaves it: an entry per terminal of that
// generation in the order of their names, letter case aside, then one for every terminal.
std::string Cascade(const std::vector<std::pair<std::string, std::string>>& terminals) {
    const std::string exe = e2e::TarvexExe();
    std::set<std::string> lines = {"|Icon=" + exe + ",0", "|MUIVerb=Compile in",
                                   "|MultiSelectModel=Player", "|SubCommands="};
    for (std::size_t i = 0; i <= terminals.size(); ++i) {
        const std::string entry = std::string("shell\\0") + char('1' + i);
        const bool every = i == terminals.size();
        lines.insert(entry + "|MUIVerb=" + (every ? "Every terminal" : terminals[i].first));
        lines.insert(entry + "|MultiSelectModel=Player");
        lines.insert(entry + "\\command|(default)=\"" + exe + "\" /terminal:" +
                     (every ? "*" : "\"" + terminals[i].second + "\"") + " \"%1\"");
        if (every) {
            lines.insert(entry + "|CommandFlags=0x00000020"); // a separator before it
        }
    }
    std::string tree;
    for (const std::string& line : lines) {
        tree += line + "\n";
    }
    return tree;
}

// Each folder once (a data folder may name the registered one otherwise spelt), a folder's whole
// path where two share its name; a terminal no longer found is gone at the next start, and with
// fewer than two the menu is.
TEST(CompileIn, ListsTheTerminalsThatEachStartFinds) {
    auto alpha = std::make_unique<StandInTerminal>("alpha", Layout{});
    auto one = std::make_unique<StandInTerminal>("MetaTrader 4", Layout{"ansi"});
    auto two = std::make_unique<StandInTerminal>("MetaTrader 4", Layout{});
    const StandInTerminal gone("Gone", Layout{"utf16 gone"});
    auto five = std::make_unique<StandInTerminal>("MetaTrader 5", Layout{"mt5"});
    const StandInTerminal older("Broker 5", Layout{"mt5 32"});
    const StandInTerminal zeta("Zeta", Layout{"utf16 upper slash"}); // registered
    using Listed = std::vector<std::pair<std::string, std::string>>; // name, folder
    const auto start = [&zeta = zeta](const Listed& mql4, const Listed& mql5) {
        zeta.Register(); // as a terminal that goes forgets the registered one
        driver::Program tarvex(e2e::TarvexExe(), "x.txt");
        driver::AnswerMessageBox(tarvex.Pid(), IDOK);
        e2e::ExitCodeOf(tarvex);
        EXPECT_EQ(testing_support::KeyTree(HKEY_CURRENT_USER, e2e::CascadeKey(".mq4")),
                  mql4.empty() ? "" : Cascade(mql4));
        EXPECT_EQ(testing_support::KeyTree(HKEY_CURRENT_USER, e2e::CascadeKey(".mq5")),
                  mql5.empty() ? "" : Cascade(mql5));
    };
    const auto [first, second] = std::minmax(one->Path(), two->Path());
    const Listed mql4 = {
        {"alpha", alpha->Path()}, {first, first}, {second, second}, {"Zeta", zeta.Path()}};
    start(mql4, {{"Broker 5", older.Path()}, {"MetaTrader 5", five->Path()}});
    // A start that finds the entries as they should be writes none of them again.
    const std::string entry = e2e::CascadeKey(".mq4") + "\\shell\\01\\command";
    const auto written = testing_support::KeyWrittenAt(HKEY_CURRENT_USER, entry);
    const auto verb = testing_support::KeyWrittenAt(HKEY_CLASSES_ROOT, e2e::kVerb + "\\command");
    start(mql4, {{"Broker 5", older.Path()}, {"MetaTrader 5", five->Path()}});
    EXPECT_EQ(testing_support::KeyWrittenAt(HKEY_CURRENT_USER, entry), written);
    EXPECT_EQ(testing_support::KeyWrittenAt(HKEY_CLASSES_ROOT, e2e::kVerb + "\\command"), verb);
    alpha.reset();
    two.reset();
    five.reset();
    start({{"MetaTrader 4", one->Path()}, {"Zeta", zeta.Path()}}, {});
    one.reset();
    start({}, {});
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, e2e::kUserClasses + "SystemFileAssociations"));
}

} // namespace

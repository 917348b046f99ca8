// A start with an argument registers the "Compile" verb of the program where it lies; then the
// argument's last three characters decide whether it names a source. One that does not is
// refused before anything else; one that does goes on to the install, which here finds no
// such file. (The verb used through the shell: the setup's test.)
#include "Road.h"

namespace {

using testing_support::StoredBytes;

class Argument : public ::testing::TestWithParam<std::pair<const char*, bool>> {
protected:
    // The program where a user may keep it, a label of someone else's on the verb, and the
    // association as MetaEditor's installer makes it.
    static void SetUpTestSuite() {
        testing_support::MakeFolder(tools.Path() + "\\My Tools");
        ASSERT_TRUE(CopyFileW(testing_support::Wide(e2e::TarvexExe()).c_str(),
                              testing_support::Wide(Copy()).c_str(), FALSE));
        testing_support::SetText(HKEY_CLASSES_ROOT, ".mq4", "", "MQLEditor4.File");
        testing_support::SetText(HKEY_CLASSES_ROOT, e2e::kVerb, "", "Someone's label");
    }
    static void TearDownTestSuite() {
        testing_support::DeleteTree(HKEY_CLASSES_ROOT, e2e::kVerb); // the label with it
    }
    static std::string Copy() { return tools.Path() + "\\My Tools\\Compile Helper.exe"; }
    static inline testing_support::TempFolder tools;
};

TEST_P(Argument, IsRefusedOrTakenByItsLastThreeCharacters) {
    const auto [tail, accepted] = GetParam();
    driver::Program tarvex(Copy(), tail);
    const auto message = driver::AnswerMessageBox(tarvex.Pid(), IDOK);
    EXPECT_EQ(driver::FindWindowOf(tarvex.Pid(), "frMain", nullptr), nullptr);
    if (accepted) {
        EXPECT_EQ(message.text.rfind("Could not open the source file:", 0), 0u) << message.text;
    } else {
        EXPECT_EQ(message.text, "Un-recognized file type");
    }
    EXPECT_EQ(message.look, "Tarvex: OK, stop");
    DWORD code = 0;
    ASSERT_TRUE(tarvex.WaitForExit(e2e::kTimeoutMs, &code));
    EXPECT_EQ(code, accepted ? 2u : 1u);
    EXPECT_EQ(StoredBytes(HKEY_CLASSES_ROOT, e2e::kVerb + "\\command"),
              "\"" + Copy() + "\" \"%1\"" + '\0');
    EXPECT_EQ(StoredBytes(HKEY_CLASSES_ROOT, e2e::kVerb), std::string("Someone's label\0", 16));
    // Written where it was allowed, so the user's own classes stay as they were.
    EXPECT_FALSE(
        testing_support::KeyExists(HKEY_CURRENT_USER, e2e::kUserClasses + "MQLEditor4.File"));
}

INSTANTIATE_TEST_SUITE_P(
    Tails, Argument,
    ::testing::Values(std::pair{R"(C:\sources\notes.txt)", false},
                      std::pair{R"("C:\sources\my ea.mq4 ")", false}, // nothing is trimmed
                      std::pair{R"(C:\sources\ea.mq4 )", false}, std::pair{R"("")", false},
                      std::pair{R"(C:\sources\a.mq5)", false},
                      std::pair{u8"C:\\sources\\a.ｍｑ４", false}, // look-alikes
                      std::pair{u8"\"C:\\sources\\Заметки.txt\"", false},
                      std::pair{R"(C:\sources\none.MQ4)", true},
                      std::pair{R"(C:\sources\amq4)", true},
                      std::pair{R"("C:\sources\my "quoted" ea.Mq4")", true}));

} // namespace

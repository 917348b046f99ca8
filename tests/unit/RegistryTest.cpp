#include "StandInTerminal.h"
#include "sys/Main.h"

#include <gtest/gtest.h>

namespace {

using testing_support::SetValue;

constexpr const char* kKey = "Software\\TarvexTests\\Registry";

class Registry : public ::testing::Test {
protected:
    void TearDown() override {
        testing_support::DeleteTree(HKEY_CURRENT_USER, "Software\\TarvexTests");
    }
    static std::string Read(const char* name) {
        return Main::GetRegString(HKEY_CURRENT_USER, kKey, name, "default");
    }
};

TEST_F(Registry, ReadsOnlyStringValues) {
    const struct {
        const char* name;
        DWORD type;
        std::string stored;
        std::string read;
    } cases[] = {
        {"plain", REG_SZ, std::string("C:\\MT4\0", 7), "C:\\MT4"},
        {"empty", REG_SZ, std::string("\0", 1), ""},
        {"no NUL at the end", REG_SZ, "abc", "abc"},
        {"NUL inside", REG_SZ, std::string("ab\0cd\0", 6), "ab"},
        {"expandable", REG_EXPAND_SZ, std::string("%TEMP%\0", 7), "default"},
        {"number", REG_DWORD, std::string("\1\0\0\0", 4), "default"},
        {"long", REG_SZ, std::string(40000, 'x') + '\0', std::string(40000, 'x')},
    };
    for (const auto& c : cases) {
        SetValue(HKEY_CURRENT_USER, kKey, c.name, c.type, c.stored);
    }
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.name), c.read) << c.name;
    }
    EXPECT_EQ(Read("missing value"), "default");
    EXPECT_EQ(Main::GetRegString(HKEY_CURRENT_USER, "Software\\TarvexTests\\None", "v", "d"), "d");
}

TEST_F(Registry, WrittenTextComesBackUnchanged) {
    const std::string texts[] = {"", "1", "C:\\Program Files\\MetaTrader 4",
                                 "Z\xFCrich \xE9\xE8\xDF", std::string(5000, 'y')};
    for (const std::string& text : texts) {
        Main::SetRegString(HKEY_CURRENT_USER, kKey, "value", text);
        EXPECT_EQ(Read("value"), text);
        std::string raw;
        DWORD type = 0;
        ASSERT_TRUE(testing_support::QueryValue(HKEY_CURRENT_USER, kKey, "value", raw, &type));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(raw, text + '\0'); // stored with its terminating NUL
    }
}

TEST_F(Registry, WritingCreatesMissingKeys) {
    const std::string deep = std::string(kKey) + "\\a\\b";
    Main::SetRegString(HKEY_CURRENT_USER, deep, "v", "x");
    EXPECT_EQ(Main::GetRegString(HKEY_CURRENT_USER, deep, "v", ""), "x");
}

} // namespace

// The install road under test: a stand-in terminal, a folder of sources, stored options.
#pragma once

#include "Driver.h"
#include "StandInTerminal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

constexpr unsigned long kTimeoutMs = 20000;
constexpr const char* kSettingsKey = "Software\\MetaQuotes Software\\brenholt";

inline std::string TarvexExe() {
    return testing_support::BuildFolder() + "\\Tarvex.exe";
}

// Stores the options as Save would; null leaves a value out.
inline void StoreOptions(const char* op, const char* del, const char* tell) {
    testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    const std::pair<const char*, const char*> values[] = {{"op", op}, {"del", del}, {"tell", tell}};
    for (const auto& [name, text] : values) {
        if (text != nullptr) {
            testing_support::SetText(HKEY_CURRENT_USER, kSettingsKey, name, text);
        }
    }
}

enum class Encoding { Ansi, Utf16LE, Utf16BE, Utf8Mark };

// A small source of the kind, as an editor saves it in that encoding.
inline std::string SourceText(const std::string& kind, Encoding encoding = Encoding::Ansi) {
    const char* marker = kind == "Indicator" ? "#property indicator_separate_window\r\n"
                         : kind == "Script"  ? "#property show_inputs\r\n"
                         : kind == "Library" ? "#property library\r\n"
                                             : "extern double Lots = 0.1;\r\n";
    const std::string text = std::string("//+--- sample, ") +
                             (encoding == Encoding::Ansi ? "plain" : u8"Grüße, Привет") +
                             " ---+\r\n#property copyright \"Brenholt\"\r\n" + marker +
                             "int start()\r\n{\r\n   return(0);\r\n}\r\n";
    if (encoding == Encoding::Ansi) {
        return text;
    }
    if (encoding == Encoding::Utf8Mark) {
        return "\xEF\xBB\xBF" + text;
    }
    const bool big = encoding == Encoding::Utf16BE;
    std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t unit : testing_support::Wide(text)) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += big ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

class Road : public ::testing::Test {
protected:
    void TearDown() override { testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey); }

    // A source of that kind in the sources folder (or another folder), returned as a path.
    std::string Source(const std::string& kind, const std::string& name,
                       const std::string& folder = std::string(),
                       Encoding encoding = Encoding::Ansi) {
        const std::string where = folder.empty() ? sources.Path() : folder;
        testing_support::MakeFolder(where);
        const std::string path = where + "\\" + name;
        testing_support::WriteBytes(path, SourceText(kind, encoding));
        return path;
    }

    std::unique_ptr<driver::Program> Start(const std::string& commandTail,
                                           const std::string& folder = std::string()) {
        return std::make_unique<driver::Program>(TarvexExe(), commandTail, folder);
    }

    static DWORD ExitCodeOf(driver::Program& program) {
        DWORD code = 99;
        EXPECT_TRUE(program.WaitForExit(kTimeoutMs, &code)) << "the program did not end";
        return code;
    }

    testing_support::StandInTerminal mt;
    testing_support::TempFolder sources;
};

} // namespace e2e

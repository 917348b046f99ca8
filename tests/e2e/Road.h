// The install road under test: a stand-in terminal, a folder of sources, stored options.
#pragma once

#include "Driver.h"
#include "E2E.h"
#include "StandInTerminal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

constexpr const char* kSettingsKey = "Software\\MetaQuotes Software\\brenholt";

// Stores the options as Save would; null leaves a value out.
inline void StoreOptions(const char* op, const char* del, const char* tell) {
    testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    const std::pair<const char*, const char*> values[] = {{"op", op}, {"del", del}, {"tell", tell}};
    for (const auto& [name, text] : values) {
        if (text != nullptr) {
            testing_support::SetValue(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ,
                                      std::string(text) + '\0');
        }
    }
}

inline const char* MarkerOf(const std::string& kind) {
    if (kind == "Indicator") {
        return "#property indicator_separate_window\r\n";
    }
    if (kind == "Script") {
        return "#property show_inputs\r\n";
    }
    if (kind == "Library") {
        return "#property library\r\n";
    }
    return "extern double Lots = 0.1;\r\n";
}

inline std::string SourceText(const std::string& kind) {
    return std::string("//+--- sample ---+\r\n#property copyright \"Brenholt\"\r\n") +
           MarkerOf(kind) + "int start()\r\n{\r\n   return(0);\r\n}\r\n";
}

class Road : public ::testing::Test {
protected:
    void TearDown() override { testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey); }

    // A source of that kind in the sources folder (or another folder), returned as a path.
    std::string Source(const std::string& kind, const std::string& name,
                       const std::string& folder = std::string()) {
        const std::string where = folder.empty() ? sources.Path() : folder;
        testing_support::MakeFolder(where);
        const std::string path = where + "\\" + name;
        testing_support::WriteBytes(path, SourceText(kind));
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

// The install road under test: a stand-in terminal, a folder of sources, stored options.
#pragma once

#include "Driver.h"
#include "Support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace e2e {

using testing_support::kSettingsKey;
using testing_support::StoredOptions;
using testing_support::StoreOptions;

constexpr unsigned long kTimeoutMs = 20000;
// The "Compile" verb on MetaEditor's class of sources, another program's verb beside it, and
// where the verb goes when HKEY_CLASSES_ROOT refuses it (a standard account on Windows).
inline const std::string kVerb = "MQLEditor4.File\\shell\\Compile";
inline const std::string kOtherVerb = "MQLEditor4.File\\shell\\open\\command";
inline const std::string kUserClasses = "Software\\Classes\\";
// The same verb on every .mq4 file, whatever class owns them.
inline const std::string kAnyClassVerb = "SystemFileAssociations\\.mq4\\shell\\Compile";

// "Compile in", in the user's own classes, for the sources of that extension.
inline std::string CascadeKey(const std::string& extension) {
    return kUserClasses + "SystemFileAssociations\\" + extension + "\\shell\\CompileIn";
}

// Runs the command of a "Compile in" entry as Explorer does: the file in place of %1.
inline std::unique_ptr<driver::Program>
RunEntry(const std::string& extension, const std::string& entry, const std::string& file) {
    std::string command = testing_support::StoredText(
        HKEY_CURRENT_USER, CascadeKey(extension) + "\\shell\\" + entry + "\\command");
    command.replace(command.find("%1"), 2, file);
    const auto end = command.find('"', 1);
    return std::make_unique<driver::Program>(command.substr(1, end - 1), command.substr(end + 2));
}

// The text with each {field} replaced.
inline std::string Expanded(std::string text,
                            std::initializer_list<std::pair<const char*, std::string>> fields) {
    for (const auto& [field, value] : fields) {
        for (auto at = text.find(field); at != std::string::npos; at = text.find(field, at)) {
            text.replace(at, std::string(field).size(), value);
            at += value.size();
        }
    }
    return text;
}

inline std::string TarvexExe() {
    return testing_support::BuildFolder() + "\\Tarvex.exe";
}

// The program's exit code, once it has ended; 99 when it did not end in time.
inline DWORD ExitCodeOf(driver::Program& program, DWORD milliseconds = kTimeoutMs) {
    DWORD code = 99;
    EXPECT_TRUE(program.WaitForExit(milliseconds, &code)) << "the program did not end";
    return code;
}

// Utf16LEBare: as some generators write whole programs, without a byte-order mark.
enum class Encoding { Ansi, Utf16LE, Utf16BE, Utf8Mark, Utf16LEBare };

// A small source of the kind, as an editor saves it in that encoding. An MQL5 one names other
// handlers in a comment, a string and a longer identifier, which decide nothing.
inline std::string SourceText(const std::string& kind, Encoding encoding = Encoding::Ansi,
                              bool mql5 = false) {
    const char* body =
        !mql5 ? (kind == "Indicator" ? "#property indicator_separate_window"
                 : kind == "Script"  ? "#property show_inputs"
                 : kind == "Library" ? "#property library"
                                     : "extern double Lots = 0.1;")
              : (kind == "Indicator" ? "int OnCalculate(const int total, const int from,\r\n"
                                       "                const int begin, const double &price[])"
                 : kind == "Script"  ? "void OnStart()"
                 : kind == "Service" ? "#property\tservice\r\nvoid OnStart()"
                 : kind == "Library" ? "#property library\r\nint Twice(int a) export"
                                     : "void OnTick()");
    const std::string text =
        std::string("//+--- ") + (encoding == Encoding::Ansi ? "sample" : u8"Grüße, Привет") +
        " ---+\r\n#property copyright \"Brenholt\"\r\n" +
        (mql5 ? "// not an OnStart(), nor OnCalculate\r\nstring s = \"OnCalculate\";\r\n"
                "int OnCalculateCalls = 0;\r\n"
              : "") +
        body + (mql5 ? "\r\n{\r\n}\r\n" : "\r\nint start()\r\n{\r\n   return(0);\r\n}\r\n");
    switch (encoding) {
    case Encoding::Ansi:
        return text;
    case Encoding::Utf8Mark:
        return "\xEF\xBB\xBF" + text;
    case Encoding::Utf16LEBare:
        return testing_support::Utf16(text).substr(2);
    default:
        return testing_support::Utf16(text, encoding == Encoding::Utf16BE);
    }
}

class Road : public ::testing::Test {
protected:
    void TearDown() override { testing_support::DeleteTree(HKEY_CURRENT_USER, kSettingsKey); }

    // A source of that kind in the sources folder (or another folder), returned as a path; MQL5's
    // when its name ends in 5.
    std::string Source(const std::string& kind, const std::string& name,
                       const std::string& folder = std::string(),
                       Encoding encoding = Encoding::Ansi) {
        const std::string path = (folder.empty() ? sources.Path() : folder) + "\\" + name;
        testing_support::MakeFolder(path.substr(0, path.rfind('\\')));
        testing_support::WriteBytes(path, SourceText(kind, encoding, path.back() == '5'));
        return path;
    }

    // Terminals of those layouts, named T0, T1, ...; none registered.
    static std::vector<std::unique_ptr<testing_support::StandInTerminal>>
    MakeTerminals(const std::vector<testing_support::Layout>& layouts) {
        std::vector<std::unique_ptr<testing_support::StandInTerminal>> made;
        for (const auto& layout : layouts) {
            made.push_back(std::make_unique<testing_support::StandInTerminal>(
                "T" + std::to_string(made.size()), layout));
        }
        testing_support::ForgetTerminal();
        return made;
    }

    std::unique_ptr<driver::Program> Start(const std::string& commandTail,
                                           const std::string& folder = std::string(),
                                           driver::Output output = driver::Output::Discarded) {
        return std::make_unique<driver::Program>(TarvexExe(), commandTail, folder, output);
    }

    testing_support::StandInTerminal mt;
    testing_support::TempFolder sources;
};

} // namespace e2e

// What became of a source: in each terminal it went to, and as a whole. What the user is told is
// made from it afterwards, in one place (Teller).
#pragma once

#include "terminal/Terminal.h"

#include <string>
#include <vector>

namespace app {

// What a message says of a step: what happened ("This file was installed but did not compile:")
// and why, which may be empty.
struct Said {
    std::wstring what;
    std::wstring why;
};

// The source in one terminal.
struct Placement {
    enum class State {
        Installed,   // placed, and compiled or handed to a compiler that tells nothing
        Declined,    // a file of its name was there and was kept
        NotCompiled, // placed, but the compile failed, was ended or never ran
        Refused,     // the terminal could not take it, or a step failed: nothing more was done
    };
    State state = State::Refused;
    std::wstring terminal;             // as a menu names it; empty before one was chosen
    terminal::Destination destination; // its path is empty before it was known
    terminal::CompileReport::State compiled = terminal::CompileReport::State::Ran;
    Said compile;         // NotCompiled: what became of the compile
    Said open;            // why the editor was not opened; what is empty when nothing went wrong
    std::wstring message; // Refused: the error as a run of its own shows it
    std::wstring detail;  // Refused: what failed and where, without what the run did about it
    bool keep = false;    // the terminal told that it did not compile: the source stays
    terminal::EditorLaunch editor; // its turn on the terminal ends before the program does
};

// A source of the run.
struct SourceOutcome {
    std::wstring source; // as given, less its quotes
    std::wstring
        fileName;       // as the file system spells it; the path's last part when it is not there
    std::string kind;   // empty when it is not known
    bool every = false; // into every listed terminal, one placement each
    std::vector<Placement> placements; // one refused with no terminal when none was chosen
    bool deleting = false;   // the options say the source goes, and it is no terminal's program
    std::wstring notDeleted; // what failed and where when it was to go

    // Every placement installed, and the source deleted when it was to go.
    bool Installed() const;
    // The source is to be deleted now: it was placed everywhere, and no terminal keeps it.
    bool Goes() const;
};

} // namespace app

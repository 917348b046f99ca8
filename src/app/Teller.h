// What the user is told of a run, made from its outcomes in one place: the messages of a run of
// one source, one summary for several, and a line per source on the standard output.
#pragma once

#include "app/Outcome.h"
#include "settings/OptionsWindow.h"
#include "sys/Streams.h"

#include <windows.h>

#include <string>
#include <vector>

namespace app {

// Where a run's words go: message boxes, unless it is quiet; then an error goes to its standard
// error, when it has one, and nothing else anywhere.
class Voice {
public:
    explicit Voice(bool quiet) : quiet_(quiet) {}
    bool Quiet() const { return quiet_; }
    void Say(const std::wstring& text, UINT style) const;
    // Style 16 in a box; to the standard error when quiet.
    void Fail(const std::wstring& text) const;

private:
    bool quiet_;
};

class Teller {
public:
    Teller(const Voice& voice, const sys::Stream& output, const settings::OptionsWindow& options)
        : voice_(voice), output_(output), options_(options) {}

    // A run of one source: what it always said, each message as it came. Throws sys::Error when
    // the source, read again for its kind, cannot be.
    void TellAlone(const SourceOutcome& outcome) const;
    // A run of several: one message, or none when all went well and the user does not ask.
    void TellSummary(const std::vector<SourceOutcome>& outcomes) const;
    // The source's lines (one per terminal) on the standard output, when the run has one:
    // outcome, kind, source, destination and what went wrong, separated by tabs.
    void WriteLines(const SourceOutcome& outcome) const;

private:
    void TellEvery(const SourceOutcome& outcome) const;
    bool Telling() const;

    const Voice& voice_;
    const sys::Stream& output_;
    const settings::OptionsWindow& options_;
};

// How a run ends, for scripts.
enum class Exit : int {
    Installed = 0,        // every source, and compiled (or handed to a compiler that tells nothing)
    NotInstalled = 1,     // any source not, or not compiled
    WrongCommandLine = 2, // nothing done
};
Exit ExitOf(const std::vector<SourceOutcome>& outcomes);

} // namespace app

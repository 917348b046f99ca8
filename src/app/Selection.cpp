#include "app/Selection.h"
#include "app/InstallSource.h"
#include "app/Messages.h"
#include "sys/Main.h"
#include "sys/SysError.h"

#include <deque>
#include <optional>

namespace app {

namespace {

// A folder named by /terminal that holds no terminal of either generation makes the command line
// wrong: what a run of the first source alone says of it. Empty when it holds one.
std::wstring NoTerminalIn(const Arguments& arguments,
                          const std::vector<terminal::Terminals>& found) {
    if (arguments.terminal.empty() || arguments.terminal == kEveryTerminal) {
        return {};
    }
    const terminal::Generation* first = nullptr;
    for (auto source = arguments.sources.begin();
         first == nullptr && source != arguments.sources.end(); ++source) {
        first = terminal::GenerationOf(*source);
    }
    std::wstring said;
    for (const terminal::Terminals& terminals : found) {
        try {
            terminal::NamedTerminal(terminals, arguments.terminal);
            return {};
        } catch (const sys::Refusal& refusal) {
            if (said.empty() || terminals.generation == first) {
                said = refusal.Message();
            }
        }
    }
    return said;
}

// Deletes the source when it is to go, then writes its lines. A run of one source says a
// failure as it always did; several say it in the summary.
void Finish(SourceOutcome& outcome, const Teller& teller, const Voice& voice, bool alone) {
    if (outcome.Goes()) {
        try {
            Main::DeleteOneFile(outcome.source);
        } catch (const sys::Error& error) {
            outcome.notDeleted = error.Detail();
            if (alone) {
                voice.Say(error.Message(), kStyleCritical);
            }
        }
    }
    teller.WriteLines(outcome);
}

} // namespace

Exit InstallSelection(const Arguments& arguments, const std::vector<terminal::Terminals>& found,
                      const settings::OptionsWindow& options, Gathering* gathering,
                      const Voice& voice, const sys::Stream& output) {
    if (const std::wstring wrong = NoTerminalIn(arguments, found); !wrong.empty()) {
        if (gathering != nullptr) {
            gathering->Stop();
        }
        voice.Fail(wrong);
        return Exit::WrongCommandLine;
    }
    std::deque<std::wstring> given(arguments.sources.begin(), arguments.sources.end());
    // They hold the editors' turns on their terminals, which end before this returns.
    std::vector<SourceOutcome> outcomes;
    const auto held = [&] {
        return outcomes.size() + given.size() + (gathering != nullptr ? gathering->Waiting() : 0);
    };
    ReplaceAnswers answers(arguments, [&] { return held() + 1; }); // and the one asked about
    const Teller teller(voice, output, options);
    std::size_t finished = 0;
    for (;;) {
        std::optional<std::wstring> source;
        if (!given.empty()) {
            source = given.front();
            given.pop_front();
        } else if (gathering != nullptr) {
            source = gathering->Next();
        }
        if (!source) {
            break;
        }
        outcomes.push_back(
            InstallSource(*source, arguments.terminal, found, options, arguments.quiet, answers));
        // Once the run holds several, each is finished as it is installed; one alone is told first.
        for (; held() >= 2 && finished < outcomes.size(); ++finished) {
            Finish(outcomes[finished], teller, voice, false);
        }
    }
    if (outcomes.size() == 1) {
        teller.TellAlone(outcomes[0]);
        Finish(outcomes[0], teller, voice, true);
    } else {
        teller.TellSummary(outcomes);
    }
    return ExitOf(outcomes);
}

} // namespace app

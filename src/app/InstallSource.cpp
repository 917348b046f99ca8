#include "app/InstallSource.h"
#include "app/Messages.h"
#include "sys/Main.h"
#include "sys/QuestionBox.h"
#include "sys/SysError.h"

#include <utility>

namespace app {

namespace {

using State = Placement::State;

// The failure of the copy itself: the code is taken before anything else can change it.
[[noreturn]] void CopyFailed(const std::wstring& destination) {
    const DWORD error = GetLastError();
    throw sys::SysError(L"Could not copy the source file to", destination, error);
}

// Copies without replacing, so that two runs installing files of one name cannot both find the
// name free: a file already there is replaced only on a Yes.
bool CopyOrAsk(const std::wstring& source, const std::wstring& destination,
               ReplaceAnswers& answers) {
    if (Main::CopyOneFile(source, destination, true)) {
        return true;
    }
    // A folder or a hidden file of that name is no file to replace: the copy fails as it would.
    if (Main::FileExists(destination) && !answers.Replace(destination)) {
        return false;
    }
    if (!Main::CopyOneFile(source, destination, false)) {
        CopyFailed(destination);
    }
    return true;
}

void Refuse(Placement& placement, const sys::Error& error) {
    placement.state = State::Refused;
    placement.message = error.Message();
    placement.detail = error.Detail();
}

// The source into one terminal.
Placement InstallInto(const terminal::Terminal& target, const std::wstring& source,
                      const std::wstring& fileName, const std::string& kind,
                      const settings::OptionsWindow& options, bool quiet, ReplaceAnswers& answers) {
    Placement placement;
    placement.terminal = target.name;
    try {
        placement.destination = terminal::GetDestination(target, kind, source, fileName);
        const std::wstring& destination = placement.destination.path;
        if (!placement.destination.inPlace && !CopyOrAsk(source, destination, answers)) {
            placement.state = State::Declined;
            return placement;
        }
        placement.state = State::Installed;
        const bool open = !quiet && options.IsChecked(settings::idOption1);
        if (!open && !options.IsChecked(settings::idOption2)) {
            return placement;
        }
        const terminal::CompileReport report = terminal::Compile(target, destination);
        using Compiled = terminal::CompileReport::State;
        placement.compiled = report.state;
        // Where the terminal tells how the compile went, the source of a failed one stays: it is
        // what the user has to mend. Before build 600 nothing is told.
        placement.keep =
            target.layout == terminal::Layout::Current && report.state != Compiled::Compiled;
        if (report.state == Compiled::Failed || report.state == Compiled::NotRun) {
            placement.state = State::NotCompiled;
            placement.compile = {report.state == Compiled::Failed
                                     ? L"This file was installed but did not compile:"
                                 : open ? L"This file was installed but not compiled or opened:"
                                        : L"This file was installed but not compiled:",
                                 report.reason};
        }
        if (open && report.state != Compiled::NotRun) {
            placement.editor = terminal::OpenMetaEditor(target, destination);
            if (!placement.editor.Started()) {
                placement.open = {L"This file was installed but not opened:",
                                  placement.editor.Failure()};
            }
        }
    } catch (const sys::Error& error) {
        Refuse(placement, error);
    }
    return placement;
}

// The file's own name as the file system spells it; the path's last part when it is not there.
std::wstring FileNameOf(const std::wstring& source) {
    const std::wstring listed = Main::GetFileName(source);
    return !listed.empty() ? listed : source.substr(source.find_last_of(L"\\/") + 1);
}

} // namespace

ReplaceAnswers::ReplaceAnswers(const Arguments& arguments, std::function<std::size_t()> sourcesHeld)
    : sourcesHeld_(std::move(sourcesHeld)) {
    if (arguments.replace || arguments.quiet) {
        always_ = arguments.replace;
    }
}

bool ReplaceAnswers::Replace(const std::wstring& destination) {
    if (always_) {
        return *always_;
    }
    // Which file: another source of the selection may have been copied under that name.
    const std::wstring question =
        L"The file is already exist! Do you want to replace it?\r\n\r\n" + destination;
    if (sourcesHeld_() < 2) {
        // Only a Yes replaces: No, a closed box or a box that could not be shown change nothing.
        return MessageBoxW(nullptr, question.c_str(), L"Exist", kStyleQuestion) == IDYES;
    }
    bool forTheRest = false;
    const int answer =
        sys::AskWithCheckBox(question, L"Exist", L"Do this for the other files", forTheRest);
    if (forTheRest && answer != 0) {
        always_ = answer == IDYES;
    }
    return answer == IDYES;
}

SourceOutcome InstallSource(const std::wstring& source, const std::wstring& choice,
                            const std::vector<terminal::Terminals>& found,
                            const settings::OptionsWindow& options, bool quiet,
                            ReplaceAnswers& answers) {
    SourceOutcome outcome;
    outcome.source = source;
    outcome.fileName = FileNameOf(source);
    const terminal::Generation* generation = terminal::GenerationOf(source);
    if (generation == nullptr) {
        Refuse(outcome.placements.emplace_back(), sys::Error(L"Un-recognized file type"));
        return outcome;
    }
    const terminal::Terminals& terminals = found[terminal::IndexOf(*generation)];
    std::vector<terminal::Terminal> targets;
    try {
        std::wstring path = source;
        outcome.kind = terminal::GetType(path, *generation);
        const bool every = choice == kEveryTerminal;
        outcome.every = every && terminals.listed.size() >= 2;
        targets = outcome.every                           ? terminals.listed
                  : every && terminals.listed.size() == 1 ? terminals.listed
                  : every || choice.empty()
                      ? std::vector{terminal::FindTerminal(terminals, source)}
                      : std::vector{terminal::NamedTerminal(terminals, choice)};
    } catch (const sys::Error& error) {
        Refuse(outcome.placements.emplace_back(), error);
        return outcome;
    }
    bool inPlace = false;
    for (const terminal::Terminal& target : targets) {
        Placement& placement = outcome.placements.emplace_back(
            InstallInto(target, source, outcome.fileName, outcome.kind, options, quiet, answers));
        inPlace = inPlace || placement.destination.inPlace;
    }
    // Only a source copied away from elsewhere may go: never the only copy, nor a program of
    // another terminal.
    outcome.deleting =
        options.IsChecked(settings::idDelete) && !inPlace &&
        !terminal::IsInAnotherTerminal(terminals, outcome.every ? nullptr : &targets[0], source);
    return outcome;
}

bool SourceOutcome::Installed() const {
    for (const Placement& placement : placements) {
        if (placement.state != Placement::State::Installed) {
            return false;
        }
    }
    return notDeleted.empty();
}

bool SourceOutcome::Goes() const {
    if (!deleting) {
        return false;
    }
    for (const Placement& placement : placements) {
        if (placement.keep || (placement.state != Placement::State::Installed &&
                               placement.state != Placement::State::NotCompiled)) {
            return false;
        }
    }
    return true;
}

} // namespace app

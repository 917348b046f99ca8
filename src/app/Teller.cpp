#include "app/Teller.h"
#include "app/Messages.h"

#include <algorithm>

namespace app {

namespace {

using State = Placement::State;
using Compiled = terminal::CompileReport::State;

// A summary names at most this many sources; more are counted.
constexpr std::size_t kMostNamed = 25;

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Number(std::size_t count) {
    return std::to_wstring(count);
}

// What a message says of a step: what happened, the file, and why.
std::wstring Full(const Said& said, const std::wstring& destination) {
    return said.what + L"\r\n" + destination + (said.why.empty() ? L"" : L"\r\n\r\n" + said.why);
}

std::wstring Kept(const std::wstring& source) {
    return L"\r\n\r\nThe source was kept:\r\n" + source;
}

// The text's lines, blank ones left out, joined by blanks, for a line of its own.
std::wstring OneLine(const std::wstring& text) {
    std::wstring line;
    bool blank = true;
    for (const wchar_t c : text) {
        const bool breaks = c == L'\r' || c == L'\n' || c == L'\t';
        if (breaks && !blank) {
            line += L' ';
        }
        if (!breaks) {
            line += c;
        }
        blank = breaks || c == L' ';
    }
    return line.substr(0, line.find_last_not_of(L' ') + 1);
}

std::wstring FirstLine(const std::wstring& text) {
    return text.substr(0, text.find_first_of(L"\r\n"));
}

// What a run of the source alone would have said of this terminal, on one line; empty when it
// was installed. A failed compile gives its first error line.
std::wstring Trouble(const Placement& placement) {
    switch (placement.state) {
    case State::Declined:
        return L"Not installed: the file already there was kept";
    case State::NotCompiled: {
        const std::wstring& what = placement.compile.what;
        const std::wstring why = placement.compiled == Compiled::Failed
                                     ? FirstLine(placement.compile.why)
                                     : OneLine(placement.compile.why);
        return why.empty() ? what.substr(0, what.size() - 1) : what + L" " + why;
    }
    case State::Refused:
        return OneLine(placement.detail);
    case State::Installed:
        break;
    }
    return {};
}

bool Installed(const Placement& placement) {
    return placement.state == State::Installed;
}

// All went well: installed, and nothing to say of opening the editor either.
bool Clean(const SourceOutcome& outcome) {
    return outcome.Installed() &&
           std::none_of(outcome.placements.begin(), outcome.placements.end(),
                        [](const Placement& placement) { return !placement.open.what.empty(); });
}

// The summary's line of a source: its kind, or what went wrong.
std::wstring SummaryLine(const SourceOutcome& outcome) {
    std::wstring line = outcome.fileName + L": ";
    const std::wstring kind = Wide(outcome.kind);
    if (outcome.every) {
        const auto took =
            std::count_if(outcome.placements.begin(), outcome.placements.end(), Installed);
        const auto all = outcome.placements.size();
        line += kind + L" in " +
                (static_cast<std::size_t>(took) == all ? L"" : Number(took) + L" of ") +
                Number(all) + L" terminals";
        for (const Placement& placement : outcome.placements) {
            if (!Installed(placement)) {
                line += L"; " + placement.terminal + L": " + Trouble(placement);
            }
        }
    } else {
        const Placement& placement = outcome.placements.front();
        line += Installed(placement) ? kind : Trouble(placement);
        if (!placement.open.what.empty()) {
            line += L"; " + OneLine(placement.open.what + L" " + placement.open.why);
        }
        if (outcome.deleting && placement.keep) {
            line += L" The source was kept.";
        }
    }
    return line + (outcome.notDeleted.empty() ? L"" : L"; " + OneLine(outcome.notDeleted));
}

// "Installed: 30 Indicators, 10 Expert Advisors", in the order of the kinds' table.
std::wstring CountedByKind(const std::vector<SourceOutcome>& outcomes) {
    std::wstring counted;
    for (const terminal::KindSpec& kind : terminal::kKinds) {
        const auto count =
            std::count_if(outcomes.begin(), outcomes.end(), [&](const SourceOutcome& outcome) {
                return outcome.Installed() && outcome.kind == kind.text;
            });
        if (count > 0) {
            counted += (counted.empty() ? L"Installed: " : L", ") + Number(count) + L" " +
                       Wide(count == 1 ? kind.text : kind.plural);
        }
    }
    return counted;
}

} // namespace

void Voice::Say(const std::wstring& text, UINT style) const {
    if (!quiet_) {
        MessageBoxW(nullptr, text.c_str(), kAppTitle, style);
    }
}

void Voice::Fail(const std::wstring& text) const {
    if (quiet_) {
        sys::Stream(STD_ERROR_HANDLE).WriteLine(text);
    } else {
        MessageBoxW(nullptr, text.c_str(), kAppTitle, kStyleCritical);
    }
}

bool Teller::Telling() const {
    return !voice_.Quiet() && options_.IsChecked(settings::idTell);
}

void Teller::TellAlone(const SourceOutcome& outcome) const {
    if (outcome.every) {
        TellEvery(outcome);
        return;
    }
    const Placement& placement = outcome.placements.front();
    const std::wstring& destination = placement.destination.path;
    if (placement.state == State::Refused) {
        voice_.Say(placement.message, kStyleCritical);
        return;
    }
    if (placement.state == State::Declined) {
        return;
    }
    if (!placement.compile.what.empty()) {
        voice_.Say(Full(placement.compile, destination) +
                       (outcome.deleting && placement.keep ? Kept(outcome.source) : L""),
                   kStyleWarning);
    }
    if (!placement.open.what.empty()) {
        voice_.Say(Full(placement.open, destination), kStyleWarning);
    }
    if (Telling()) {
        std::wstring again = outcome.source;
        const std::string kind = terminal::GetType(again, *terminal::GenerationOf(again));
        voice_.Say(L"The " + Wide(kind) + L" has been installed!", kStylePlain);
    }
}

void Teller::TellEvery(const SourceOutcome& outcome) const {
    std::wstring report;
    std::wstring names;
    bool nothingToSay = true;
    for (const Placement& placement : outcome.placements) {
        const std::wstring& destination = placement.destination.path;
        std::wstring said;
        if (placement.state == State::Declined) {
            said = Full({L"Not installed: the file already there was kept:", L""}, destination);
        } else if (placement.state == State::Refused) {
            said = placement.detail;
        } else {
            said = placement.compile.what.empty() ? L"" : Full(placement.compile, destination);
            if (!placement.open.what.empty()) {
                said += (said.empty() ? L"" : L"\r\n\r\n") + Full(placement.open, destination);
            }
        }
        nothingToSay = nothingToSay && said.empty();
        report +=
            L"\r\n\r\n" + placement.terminal + L"\r\n" + (said.empty() ? L"Installed." : said);
        names += L"\r\n" + placement.terminal;
    }
    const std::wstring kind = Wide(outcome.kind);
    if (!nothingToSay) {
        voice_.Say(L"The " + kind + L" was not installed in every terminal:" + report +
                       (outcome.deleting && !outcome.Goes() ? Kept(outcome.source) : L""),
                   kStyleWarning);
    } else if (Telling()) {
        voice_.Say(L"The " + kind + L" has been installed in " + Number(outcome.placements.size()) +
                       L" terminals:" + names,
                   kStylePlain);
    }
}

void Teller::TellSummary(const std::vector<SourceOutcome>& outcomes) const {
    const bool clean = std::all_of(outcomes.begin(), outcomes.end(), Clean);
    if (clean && !Telling()) {
        return;
    }
    const auto installed =
        std::count_if(outcomes.begin(), outcomes.end(),
                      [](const SourceOutcome& outcome) { return outcome.Installed(); });
    std::wstring text = (clean ? L"" : Number(installed) + L" of ") + Number(outcomes.size()) +
                        L" programs have been installed:";
    const bool counting = outcomes.size() > kMostNamed;
    if (counting && installed > 0) {
        text += L"\r\n" + CountedByKind(outcomes);
    }
    std::size_t named = 0;
    std::size_t unnamed = 0;
    for (const SourceOutcome& outcome : outcomes) {
        if (counting && outcome.Installed()) {
            continue;
        }
        if (named == kMostNamed) {
            ++unnamed;
            continue;
        }
        text += L"\r\n" + SummaryLine(outcome);
        ++named;
    }
    if (unnamed > 0) {
        text += L"\r\nand " + Number(unnamed) + L" more";
    }
    voice_.Say(text, clean ? kStylePlain : kStyleWarning);
}

void Teller::WriteLines(const SourceOutcome& outcome) const {
    if (!output_.Present()) {
        return;
    }
    for (const Placement& placement : outcome.placements) {
        const bool installed = Installed(placement) && outcome.notDeleted.empty();
        const wchar_t* result = installed                            ? L"installed"
                                : placement.state == State::Declined ? L"skipped"
                                                                     : L"failed";
        const std::wstring detail =
            Installed(placement) ? OneLine(outcome.notDeleted) : Trouble(placement);
        output_.WriteLine(std::wstring(result) + L"\t" + Wide(outcome.kind) + L"\t" +
                          outcome.source + L"\t" + placement.destination.path + L"\t" + detail);
    }
}

Exit ExitOf(const std::vector<SourceOutcome>& outcomes) {
    return std::all_of(outcomes.begin(), outcomes.end(),
                       [](const SourceOutcome& outcome) { return outcome.Installed(); })
               ? Exit::Installed
               : Exit::NotInstalled;
}

} // namespace app

// The install of one source: into the terminal that serves it, into the one named, or into every
// terminal; placed, compiled and opened as the options say. Nothing is told here: the outcome is.
#pragma once

#include "app/Arguments.h"
#include "app/Outcome.h"
#include "settings/OptionsWindow.h"

#include <cstddef>
#include <functional>
#include <optional>

namespace app {

// How a run answers when a copy would replace a file of its name: /replace says Yes and /quiet No
// without asking; else the user is asked, with a check box that answers for the rest of the run
// once the run holds several sources.
class ReplaceAnswers {
public:
    ReplaceAnswers(const Arguments& arguments, std::function<std::size_t()> sourcesHeld);
    bool Replace(const std::wstring& destination);

private:
    std::optional<bool> always_;
    std::function<std::size_t()> sourcesHeld_;
};

// The source by the choice (a terminal's folder, kEveryTerminal, or empty: the one that serves it),
// the options read from the controls as each step needs them; quiet opens no editor.
SourceOutcome InstallSource(const std::wstring& source, const std::wstring& choice,
                            const std::vector<terminal::Terminals>& found,
                            const settings::OptionsWindow& options, bool quiet,
                            ReplaceAnswers& answers);

} // namespace app

// The sources of one run, one after another: the command line's, then those handed to the
// gathering run, each installed as a run of it alone would install it; then what the user is told.
#pragma once

#include "app/Arguments.h"
#include "app/Gathering.h"
#include "app/Teller.h"
#include "terminal/Terminal.h"

#include <vector>

namespace app {

// gathering may be null. Throws sys::Error when a run of one source cannot read it again to tell
// its kind.
Exit InstallSelection(const Arguments& arguments, const std::vector<terminal::Terminals>& found,
                      const settings::OptionsWindow& options, Gathering* gathering,
                      const Voice& voice, const sys::Stream& output);

} // namespace app

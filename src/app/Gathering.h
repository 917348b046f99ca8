// Explorer starts Tarvex once for every chosen source. The first instance of a user's session that
// is started with a switch (none, a terminal's folder, every terminal) gathers the sources that
// the others, started with the same switch, hand it, so that a selection is one run with one
// answer. A source is handed over only when the gathering run says it has taken it.
#pragma once

#include "app/Arguments.h"
#include "sys/Handles.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace app {

// How long a gathering run goes on taking sources after it has had nothing to do.
constexpr unsigned kIdleMs = 1500;

class Gathering {
public:
    // For an instance started with one source, not quiet, and with no standard output of its own
    // (as Explorer starts one): hands the source to the run that gathers (handedOver: the instance
    // has nothing more to do), or becomes that run. Null when it hands nothing over and gathers
    // nothing: started otherwise, or the channel could not be had; it then runs alone.
    static std::unique_ptr<Gathering> Join(const Arguments& arguments, bool hasOutput,
                                           bool& handedOver);

    Gathering(sys::unique_hfile pipe, std::wstring key);
    ~Gathering();
    Gathering(const Gathering&) = delete;
    Gathering& operator=(const Gathering&) = delete;

    // The sources taken and not yet given out.
    std::size_t Waiting();
    // The next source taken, in the order they came; none once nothing has come for kIdleMs,
    // after which nothing more is taken.
    std::optional<std::wstring> Next();
    // Takes nothing more; the sources already taken are still given out.
    void Stop();

private:
    void Listen();
    void Serve(HANDLE stop);

    sys::unique_hfile pipe_;
    std::wstring key_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::wstring> waiting_;
    bool taking_ = true;
    sys::unique_handle stop_;
    std::thread listener_;
};

} // namespace app

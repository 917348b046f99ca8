#include "app/Gathering.h"
#include "sys/Folders.h"
#include "sys/Pipes.h"

#include <chrono>
#include <vector>

namespace app {

namespace {

// How long an instance tries to hand its source over, or to gather, while another run holds the
// channel without taking: one that stopped taking closes it at once.
constexpr DWORD kJoinMs = 60000;
// How long the gathering run waits for a client's request, its own answer's write, and the
// client's leaving once it has its answer.
constexpr DWORD kServeMs = 5000;
// A request: the switch and the path, with room for the longest path.
constexpr DWORD kRequestBytes = 65536;
constexpr wchar_t kTaken = L'Y';
constexpr wchar_t kNotTaken = L'N';

// The switch that runs must share to be one: the terminal's choice, and whether /replace answers.
std::wstring Key(const Arguments& arguments) {
    std::wstring terminal = arguments.terminal;
    while (!terminal.empty() && terminal.back() == L'\\') {
        terminal.pop_back();
    }
    return (arguments.replace ? L"/replace " : L"") + std::wstring(kTerminalSwitch) + terminal;
}

// One channel per user, session and switch.
std::wstring PipeName(const std::wstring& sid, const std::wstring& key) {
    return L"\\\\.\\pipe\\Tarvex.Gathering." + std::to_wstring(sys::CurrentSessionId()) + L"." +
           sid + L"." + sys::NameKey(key);
}

enum class Offered { Taken, NotNow, Refused };

// Offers the request to the gathering run: taken, not now (it is busy, or has stopped taking and
// is closing the channel), or refused (the channel is not the user's own).
Offered Offer(const std::wstring& name, const std::wstring& request) {
    sys::unique_hfile pipe(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    if (!pipe) {
        const DWORD error = GetLastError();
        if (error == ERROR_PIPE_BUSY) {
            WaitNamedPipeW(name.c_str(), 1000);
        }
        return error == ERROR_PIPE_BUSY || error == ERROR_FILE_NOT_FOUND ? Offered::NotNow
                                                                         : Offered::Refused;
    }
    if (!sys::IsOwnedByCurrentUser(pipe.get())) {
        return Offered::Refused;
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    DWORD moved = 0;
    wchar_t answer = kNotTaken;
    // Its answer comes at once; a run that ends breaks the pipe.
    if (!SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr) ||
        !WriteFile(pipe.get(), request.data(), static_cast<DWORD>(request.size()) * sizeof(wchar_t),
                   &moved, nullptr) ||
        !ReadFile(pipe.get(), &answer, sizeof answer, &moved, nullptr)) {
        return Offered::NotNow;
    }
    return answer == kTaken ? Offered::Taken : Offered::NotNow;
}

// An overlapped call on the pipe, waited for at most ms, or until stop is set.
template <typename Call> bool Within(HANDLE pipe, DWORD ms, HANDLE stop, DWORD& moved, Call call) {
    const sys::unique_handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    return event && sys::Complete(pipe, overlapped, call(overlapped), ms, stop, moved);
}

} // namespace

std::unique_ptr<Gathering> Gathering::Join(const Arguments& arguments, bool hasOutput,
                                           bool& handedOver) {
    handedOver = false;
    const std::wstring sid = sys::CurrentUserSid();
    if (!arguments.wrong.empty() || arguments.sources.size() != 1 || arguments.quiet || hasOutput ||
        sid.empty()) {
        return nullptr;
    }
    const std::wstring key = Key(arguments);
    const std::wstring name = PipeName(sid, key);
    // The gathering run may have another working folder.
    std::wstring source = sys::FullPath(arguments.sources[0]);
    source = source.empty() ? arguments.sources[0] : source;
    const DWORD start = GetTickCount();
    do {
        bool taken = false;
        if (sys::unique_hfile pipe = sys::CreateUserPipe(name, taken)) {
            return std::make_unique<Gathering>(std::move(pipe), key);
        }
        if (!taken) { // no channel to be had: each instance runs alone
            return nullptr;
        }
        switch (Offer(name, key + L"\n" + source)) {
        case Offered::Taken:
            handedOver = true;
            return nullptr;
        case Offered::Refused:
            return nullptr;
        case Offered::NotNow:
            Sleep(20);
            break;
        }
    } while (GetTickCount() - start < kJoinMs);
    return nullptr;
}

Gathering::Gathering(sys::unique_hfile pipe, std::wstring key)
    : pipe_(std::move(pipe)), key_(std::move(key)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (stop_) {
        listener_ = std::thread([this] { Listen(); });
    }
}

Gathering::~Gathering() {
    Stop();
}

std::size_t Gathering::Waiting() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return waiting_.size();
}

std::optional<std::wstring> Gathering::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::milliseconds(kIdleMs),
                           [this] { return !waiting_.empty(); })) {
        taking_ = false; // decided with nothing waiting: nothing comes after it
        lock.unlock();
        Stop();
        return std::nullopt;
    }
    std::wstring source = std::move(waiting_.front());
    waiting_.pop_front();
    return source;
}

void Gathering::Stop() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        taking_ = false;
    }
    // The channel goes at once, so that a later instance may gather in turn.
    if (listener_.joinable()) {
        SetEvent(stop_.get());
        listener_.join();
    }
    pipe_.reset();
}

void Gathering::Listen() {
    const HANDLE pipe = pipe_.get();
    for (;;) {
        DWORD moved = 0;
        const bool connected =
            Within(pipe, INFINITE, stop_.get(), moved, [pipe](OVERLAPPED& overlapped) {
                // A client that came before the call is connected already, and no event says so.
                const BOOL started = ConnectNamedPipe(pipe, &overlapped);
                if (!started && GetLastError() == ERROR_PIPE_CONNECTED) {
                    return SetEvent(overlapped.hEvent);
                }
                return started;
            });
        if (WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0) {
            return;
        }
        if (connected) {
            Serve(pipe);
        } else {
            Sleep(50); // a failure that may last: no busy loop
        }
        DisconnectNamedPipe(pipe);
    }
}

void Gathering::Serve(HANDLE pipe) {
    std::vector<wchar_t> request(kRequestBytes / sizeof(wchar_t));
    DWORD moved = 0;
    if (!Within(pipe, kServeMs, nullptr, moved,
                [&](OVERLAPPED& overlapped) {
                    return ReadFile(pipe, request.data(), kRequestBytes, nullptr, &overlapped);
                }) ||
        !sys::ClientInThisSession(pipe)) {
        return;
    }
    // Handed over exactly as it would stand on the command line, once the switch is the same.
    const std::wstring text(request.data(), moved / sizeof(wchar_t));
    const auto newline = text.find(L'\n');
    const bool same = newline != std::wstring::npos && sys::SameName(text.substr(0, newline), key_);
    bool taken = false;
    {
        // The answer is written before the source counts as taken, and the decision to stop
        // taking waits for both.
        const std::lock_guard<std::mutex> lock(mutex_);
        const wchar_t answer = same && taking_ ? kTaken : kNotTaken;
        taken = Within(pipe, kServeMs, nullptr, moved,
                       [&](OVERLAPPED& overlapped) {
                           return WriteFile(pipe, &answer, sizeof answer, nullptr, &overlapped);
                       }) &&
                answer == kTaken;
        if (taken) {
            waiting_.push_back(text.substr(newline + 1));
            arrived_.notify_one();
        }
    }
    // Disconnecting drops what the client has not read: it leaves once it has its answer.
    wchar_t rest = 0;
    Within(pipe, kServeMs, nullptr, moved, [&](OVERLAPPED& overlapped) {
        return ReadFile(pipe, &rest, sizeof rest, nullptr, &overlapped);
    });
}

} // namespace app

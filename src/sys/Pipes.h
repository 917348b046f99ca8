// Named pipes that one user's programs in one session use among themselves. A pipe's name is no
// access control: the pipe admits the user alone, its owner is checked by the client, and the
// client's session by the server.
//
// Every function here is trapped: a failure gives false, an invalid handle or the empty text.
#pragma once

#include "sys/Handles.h"

#include <string>

namespace sys {

// The user the program runs as, as "S-1-5-21-...".
std::wstring CurrentUserSid() noexcept;
DWORD CurrentSessionId() noexcept;

// The server end of the first pipe of that name (message mode, overlapped, local clients only),
// owned by the current user and open to that user alone; invalid when the name is taken (taken
// then says so) or the pipe cannot be made.
unique_hfile CreateUserPipe(const std::wstring& name, bool& taken) noexcept;

// The pipe, opened as a client, was made by the current user: no other user's program stands in
// for the server.
bool IsOwnedByCurrentUser(HANDLE pipe) noexcept;

// The client connected to the server end runs in this session.
bool ClientInThisSession(HANDLE pipe) noexcept;

// Waits for an overlapped call (started is what the call returned) on the handle, at most ms, or
// until stop is set; cancels it when it has not ended. True when it ended well, with bytes moved.
bool Complete(HANDLE file, OVERLAPPED& call, BOOL started, DWORD ms, HANDLE stop,
              DWORD& bytes) noexcept;

} // namespace sys

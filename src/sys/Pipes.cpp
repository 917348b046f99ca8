#include "sys/Pipes.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace sys {

namespace {

// A pipe's messages: a path of the longest kind, and a little more.
constexpr DWORD kPipeBuffer = 65536;

// The token's user, in a buffer that TOKEN_USER points into.
std::vector<BYTE> TokenUser() {
    unique_handle token;
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    GetTokenInformation(token.get(), ::TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token.get(), ::TokenUser, user.data(), size, &size)) {
        return {};
    }
    return user;
}

} // namespace

std::wstring CurrentUserSid() noexcept {
    try {
        const std::vector<BYTE> user = TokenUser();
        wchar_t* text = nullptr;
        if (user.empty() ||
            !ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid,
                                    &text)) {
            return {};
        }
        const unique_hlocal owned(text);
        return text;
    } catch (...) {
        return {};
    }
}

DWORD CurrentSessionId() noexcept {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return session;
}

unique_hfile CreateUserPipe(const std::wstring& name, bool& taken) noexcept {
    taken = false;
    try {
        const std::wstring user = CurrentUserSid();
        // Owned by the user itself, not by a group its objects may default to.
        const std::wstring descriptor = L"O:" + user + L"D:P(A;;GA;;;" + user + L")";
        SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
        if (user.empty() ||
            !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                descriptor.c_str(), SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr)) {
            return {};
        }
        const unique_hlocal owned(security.lpSecurityDescriptor);
        unique_hfile pipe(CreateNamedPipeW(
            name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
            kPipeBuffer, kPipeBuffer, 0, &security));
        // Windows says a first instance's name is taken so; Wine, that the pipe is busy.
        const DWORD error = GetLastError();
        taken = !pipe && (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY);
        return pipe;
    } catch (...) {
        return {};
    }
}

bool IsOwnedByCurrentUser(HANDLE pipe) noexcept {
    try {
        PSID owner = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (GetSecurityInfo(pipe, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                            nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
            return false;
        }
        const unique_hlocal owned(descriptor);
        const std::vector<BYTE> user = TokenUser();
        return owner != nullptr && !user.empty() &&
               EqualSid(owner, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
    } catch (...) {
        return false;
    }
}

bool ClientInThisSession(HANDLE pipe) noexcept {
    ULONG session = 0;
    return GetNamedPipeClientSessionId(pipe, &session) && session == CurrentSessionId();
}

bool Complete(HANDLE file, OVERLAPPED& call, BOOL started, DWORD ms, HANDLE stop,
              DWORD& bytes) noexcept {
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    const HANDLE events[] = {call.hEvent, stop};
    if (WaitForMultipleObjects(stop != nullptr ? 2 : 1, events, FALSE, ms) != WAIT_OBJECT_0) {
        CancelIoEx(file, &call);
    }
    return GetOverlappedResult(file, &call, &bytes, TRUE) != FALSE;
}

} // namespace sys

#include "platform/win32/session_users.h"

#include <sddl.h>

#include <vector>

#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

// Lets a process token be read by a caller that may not read the whole process; Windows XP does
// not know the right and refuses it, so it is asked for only after the older one failed.
constexpr DWORD kProcessQueryLimitedInformation = 0x1000;

std::string LastError(const std::string& action) { return action + ": " + SystemMessage(GetLastError()); }

std::optional<Account> ShellAccount(HWND shell, std::string& failure) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(shell, &processId);
    const std::string what = "the shell's process (id " + std::to_string(processId) + ")";
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) process.reset(::OpenProcess(kProcessQueryLimitedInformation, FALSE, processId));
    if (!process) {
        failure = LastError("Cannot open " + what);
        return std::nullopt;
    }
    UniqueKernelHandle token;
    if (!::OpenProcessToken(process.get(), TOKEN_QUERY, token.put())) {
        failure = LastError("Cannot open the token of " + what);
        return std::nullopt;
    }
    return TokenAccount(token.get(), failure);
}

}  // namespace

std::optional<Account> TokenAccount(HANDLE token, std::string& failure) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    if (!::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        failure = LastError("Cannot read the user of a process token");
        return std::nullopt;
    }
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    LPSTR sidText = nullptr;
    if (!::ConvertSidToStringSidA(sid, &sidText)) {
        failure = LastError("Cannot write a user's SID as text");
        return std::nullopt;
    }
    const UniqueLocalMemory sidTextOwner(sidText);
    Account account{sidText, {}};
    char name[256] = {};
    char domain[256] = {};
    DWORD nameLength = sizeof name;
    DWORD domainLength = sizeof domain;
    SID_NAME_USE use{};
    if (!::LookupAccountSidA(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
        failure = LastError("Cannot find the account name of " + account.sid);
        return std::nullopt;
    }
    account.name = *domain ? std::string(domain) + "\\" + name : std::string(name);
    return account;
}

SessionUsers FindSessionUsers() {
    SessionUsers users;
    UniqueKernelHandle token;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()))
        users.process = TokenAccount(token.get(), users.failure);
    else
        users.failure = LastError("Cannot open the token of this process");
    if (const HWND shell = ::GetShellWindow()) {
        std::string failure;
        users.desktop = ShellAccount(shell, failure);
        if (users.failure.empty()) users.failure = failure;
    }
    return users;
}

}  // namespace platform::win32

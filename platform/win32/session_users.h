#pragma once
// Who is signed in at the desktop and who this process runs as, found through the shell window's
// process token and this process's token. Everything used exists on Windows XP.

#include <windows.h>

#include <string>

#include "platform/signed_in_user.h"

namespace platform::win32 {

SessionUsers FindSessionUsers();

// The user of a token: the SID as text and the account name, "DOMAIN\user" where Windows gives a
// domain. Nothing, with `failure` saying what failed and why, when it cannot be read.
std::optional<Account> TokenAccount(HANDLE token, std::string& failure);

}  // namespace platform::win32

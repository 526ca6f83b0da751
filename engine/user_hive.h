#pragma once
// Whose IDE settings a run changes: the user signed in at the desktop, whatever user setup runs
// as. Decided once at start-up from the session's users.

#include <string>

#include "platform/signed_in_user.h"

namespace engine {

struct UserHiveChoice {
    std::string sid;   // the other user whose HKEY_USERS\<SID> is the user's hive; empty: HKEY_CURRENT_USER
    std::string line;  // the run's first line when the installer's own user is not simply the one; else empty
};

UserHiveChoice ChooseUserHive(const platform::SessionUsers& users);

// The message that ends start-up when the signed-in user's hive cannot be opened.
std::string UnreachableHiveMessage(const platform::Account& desktop, const std::string& reason);

}  // namespace engine

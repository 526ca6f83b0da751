#include "engine/user_hive.h"

namespace engine {

UserHiveChoice ChooseUserHive(const platform::SessionUsers& users) {
    const auto& [desktop, process, failure] = users;
    if (desktop && process && desktop->sid != process->sid)
        return {desktop->sid, "IDE settings are changed for " + desktop->name + ", who is signed in, not for " +
                                  process->name + ", who runs this installer."};
    if (failure.empty()) return {};
    // Not knowing whose desktop this is, the installer's own settings are the only ones it may
    // take; the line says so, so that a developer who elevated as someone else finds out.
    const std::string runner = process ? process->name : "the user who runs this installer";
    return {{}, "IDE settings are changed for " + runner +
                    ". Whether another user is signed in could not be found out: " + failure};
}

std::string UnreachableHiveMessage(const platform::Account& desktop, const std::string& reason) {
    return "The IDE settings of " + desktop.name + ", who is signed in, cannot be reached: " + reason +
           "\n\nNothing was changed.";
}

}  // namespace engine

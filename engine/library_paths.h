#pragma once
// An installation's folders in an IDE's library paths (search and browsing path): the spellings
// it takes for the folder, and whether a list holds one of them.

#include <string>
#include <vector>

#include "ide/compile_target.h"

namespace engine {

// The folder as written, with a delimiter, and both again with the IDE's root macro.
std::vector<std::string> FolderForms(const ide::TCompileTarget& ide, const std::string& folder);
// The first entry that is one of the folder's spellings; the list's end when none is.
std::vector<std::string>::iterator FindFolder(const ide::TCompileTarget& ide, std::vector<std::string>& list,
                                              const std::string& folder);
bool ListsFolder(const ide::TCompileTarget& ide, const std::vector<std::string>& list, const std::string& folder);

}  // namespace engine

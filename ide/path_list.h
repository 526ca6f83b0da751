#pragma once
// The IDEs' ";"-separated folder lists.

#include <string>
#include <vector>

namespace ide {

// Leading blanks of an entry are dropped, trailing ones kept; one trailing delimiter is removed
// from each entry; an empty piece between two ";" is an empty entry; a final ";" adds none.
std::vector<std::string> SplitPathList(const std::string& text);
std::string JoinPathList(const std::vector<std::string>& list);

// The folders of a PATH value: empty entries skipped, one pair of enclosing quotes removed.
std::vector<std::string> PathFolders(const std::string& path);

}  // namespace ide

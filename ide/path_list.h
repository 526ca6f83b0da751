#pragma once
// The IDEs' ";"-separated folder lists.

#include <string>
#include <vector>

namespace ide {

// Leading blanks of an entry are dropped, trailing ones kept; one trailing delimiter is removed
// from each entry but a root ("\" or "D:\"); an empty piece between two ";" is an empty entry; a
// final ";" adds none.
std::vector<std::string> SplitPathList(const std::string& text);
// The text that SplitPathList reads back as the same list: an entry ending in a delimiter gets
// a second one (a root does not), and a last empty entry a final ";".
std::string JoinPathList(const std::vector<std::string>& list);

// The folders of a PATH value: empty entries skipped, one pair of enclosing quotes removed.
std::vector<std::string> PathFolders(const std::string& path);

}  // namespace ide

#pragma once
// The one command line the installer starts the extractor with, program name first:
//
//   unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* "C:\Dest\"
//
// (two blanks before data.arc; an absolute destination that ends in a backslash, in quotes).

#include <optional>
#include <string>
#include <string_view>

namespace archive {

// The archive the extractor reads from its working directory.
inline constexpr std::string_view kArchiveName = "data.arc";

// The destination folder of that command line, trailing backslash kept; nothing for any other
// line. The program name may be quoted; what follows it must be exactly the installer's form.
std::optional<std::string> ExtractDestination(std::string_view commandLine);

}  // namespace archive

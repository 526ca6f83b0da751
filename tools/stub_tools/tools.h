#pragma once
// The stand-ins for the IDEs' command-line tools. Each takes its arguments as the C runtime
// splits the command line (program name left out) and returns its exit code.
//
//   dcc32   -B -H+ -W+ -U"dirs" ... -N"dir" -LE"dir" -LN"dir" [-DFREE] P.dpk
//           compiles P.dpk from the working directory: for every unit of its "contains" clause
//           whose source exists a .dcu in -N (a unit without source must have its .dcu in a -U
//           folder); then P.bpl in -LE and P.dcp in -LN. -N, -LE and -LN are required.
//   bpr2mak -t"dir\bcb.bmk" "dir\P.bpk"
//           writes dir\P.mak: the project's macros, then the template.
//   make    -f"dir\P.mak"
//           needs MYUNITOUTDIR, MYBPLDIR, MYDCPDIR (in quotes), LIBDIR, HPPDIR, BPILIBDIR (without;
//           the last two and MYDCPDIR the same folder) in the environment. For every unit of
//           PASFILES: .obj and .dcu beside its source, .hpp in $(HPPOUTDIR) of the template;
//           then P.obj, P.tds, P.bpl, P.bpi and P.lib beside the make file.
//
// Output files hold a line of text that names what they were made from (and the defines of a
// Delphi package). tool_run.h has the switches that make a stub fail or hang.

#include <string>
#include <string_view>
#include <vector>

#include "tools/stub_tools/host.h"

namespace stubs {

using Arguments = std::vector<std::string>;

int RunDcc32(const Arguments& arguments, Host& host);
int RunBpr2Mak(const Arguments& arguments, Host& host);
int RunMake(const Arguments& arguments, Host& host);

}  // namespace stubs

#pragma once
// The text form of simulated IDE installations, one section per IDE:
//
//   [Delphi 7.0]                      product key and version key
//   root = C:\Borland\Delphi7         required; the rest starts from a typical installation
//   edition = Enterprise              "(none)" leaves the value out; likewise version-value
//   registry-name = Win32Only         product key in the user hive
//   search-path = $(DELPHI)\Lib;...   also browsing-path, package-search-path, debug-dcus-path,
//                                     bpl-output, dcp-output; "(none)" leaves the value out
//   known-package = FILE | TEXT       repeatable; the first one replaces the typical list;
//                                     also disabled-package, known-ide-package
//   machine-key = no                  also user-key, library-key, debugging-key, package-keys
//   zeos = yes                        also mydac, odac
//   bpl-on-path = no                  the BPL output folder stays off the user's PATH
//   file = Bin\dcc32.exe              repeatable, relative to root
//   running = yes                     an IDE program runs from App
//   stub-tools = yes                  Bin\dcc32.exe, bpr2mak.exe and make.exe: the test stand-ins
//   projects-module = deu             BDS: Bin\coreide<suffix>.<letters> with the localized
//                                     projects folder name
//
// Lines starting with "#" or ";" are comments.

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/seed_ides/ide_seed.h"

namespace seeding {

struct DescribedIde {
    SeededIde ide;
    bool running = false;
    bool stubTools = false;
    std::string projectsModule;  // locale letters, e.g. "deu"; empty: none
};

class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<DescribedIde> ParseDescription(const std::string& text);

}  // namespace seeding

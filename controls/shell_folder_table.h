#pragma once
// The shell's special folders that can be the root of the folder browser, and how a shell of a
// given version and platform family reaches each of them.

#include <cstdint>

namespace controls {

enum TFromDirectory : std::uint8_t {
    fdNoSpecialFolder, fdRootFolder, fdDesktop, fdInternet, fdPrograms, fdControlPanel, fdPrinters, fdPersonal,
    fdFavorites, fdStartup, fdRecent, fdSendTo, fdRecycleBin, fdStartMenu, fdMyDocuments, fdMyMusic, fdMyVideo,
    fdDesktopDirectory, fdMyComputer, fdNetwork, fdNetHood, fdFonts, fdTemplates, fdCommonStartMenu,
    fdCommonPrograms, fdCommonStartup, fdCommonDesktopDirectory, fdAppData, fdPrintHood, fdLocalAppData,
    fdAltStartup, fdCommonAltStartup, fdCommonFavorites, fdInternetCache, fdCookies, fdHistory, fdCommonAppData,
    fdWindows, fdSystem, fdProgramFiles, fdMyPictures, fdProfile, fdSystemX86, fdProgramFilesX86,
    fdProgramFilesCommon, fdProgramFilesCommonX86, fdCommonTemplates, fdCommonDocuments, fdCommonAdminTools,
    fdAdminTools, fdConnections, fdCommonMusic, fdCommonPictures, fdCommonVideo, fdCDBurnArea
};
inline constexpr int kFromDirectoryCount = fdCDBurnArea + 1;

struct SpecialFolderRow {
    int csidl;                   // the shell's special-folder number
    std::uint32_t minShell;      // lowest shell version (major * 65536 + minor) that knows it
    bool ntOnly;                 // exists only on the NT platform family
    bool resolvableAsPath;       // the folder-path service can name it when the shell cannot
    TFromDirectory fallback;     // the row that stands in for it, fdNoSpecialFolder for none
};

const SpecialFolderRow& SpecialFolder(TFromDirectory folder);

// How the root of the tree is reached.
struct RootFolderSource {
    enum Kind : std::uint8_t {
        Desktop,       // no root: the tree starts at the desktop
        ShellFolder,   // the shell's special folder `csidl`
        FolderPath,    // the path the folder-path service gives for `csidl`
    } kind;
    int csidl;
    friend bool operator==(const RootFolderSource&, const RootFolderSource&) = default;
};

// A row the shell cannot serve gives way to its fallback row, unless the folder-path service can
// name it; a row still unserved is left to the folder-path service.
RootFolderSource ResolveSpecialFolder(TFromDirectory folder, std::uint32_t shellVersion, bool isNt);

}  // namespace controls

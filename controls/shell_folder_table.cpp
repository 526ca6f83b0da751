#include "controls/shell_folder_table.h"

#include <array>

namespace controls {

namespace {

constexpr std::uint32_t kAny = 0;
constexpr std::uint32_t kShell471 = 0x40071;
constexpr std::uint32_t kShell472 = 0x40072;
constexpr std::uint32_t kShell5 = 0x50000;
constexpr std::uint32_t kShell6 = 0x60000;
constexpr bool NT = true;
constexpr bool PATH = true;

// One row per TFromDirectory value, in its order.
constexpr std::array<SpecialFolderRow, kFromDirectoryCount> kRows{{
    {-1, kAny, false, false, fdNoSpecialFolder},          // fdNoSpecialFolder
    {0x00, kAny, false, false, fdNoSpecialFolder},        // fdRootFolder
    {0x00, kAny, false, false, fdNoSpecialFolder},        // fdDesktop
    {0x01, kAny, false, false, fdNoSpecialFolder},        // fdInternet
    {0x02, kAny, false, false, fdNoSpecialFolder},        // fdPrograms
    {0x03, kAny, false, false, fdNoSpecialFolder},        // fdControlPanel
    {0x04, kAny, false, false, fdNoSpecialFolder},        // fdPrinters
    {0x05, kAny, false, PATH, fdNoSpecialFolder},         // fdPersonal
    {0x06, kAny, false, false, fdNoSpecialFolder},        // fdFavorites
    {0x07, kAny, false, false, fdNoSpecialFolder},        // fdStartup
    {0x08, kAny, false, false, fdNoSpecialFolder},        // fdRecent
    {0x09, kAny, false, false, fdNoSpecialFolder},        // fdSendTo
    {0x0A, kAny, false, false, fdNoSpecialFolder},        // fdRecycleBin
    {0x0B, kAny, false, false, fdNoSpecialFolder},        // fdStartMenu
    {0x0C, kShell6, false, false, fdPersonal},            // fdMyDocuments
    {0x0D, kShell6, false, false, fdNoSpecialFolder},     // fdMyMusic
    {0x0E, kShell6, false, false, fdPersonal},            // fdMyVideo
    {0x10, kAny, false, false, fdNoSpecialFolder},        // fdDesktopDirectory
    {0x11, kAny, false, false, fdNoSpecialFolder},        // fdMyComputer
    {0x12, kAny, false, false, fdNoSpecialFolder},        // fdNetwork
    {0x13, kAny, false, false, fdNoSpecialFolder},        // fdNetHood
    {0x14, kAny, false, false, fdNoSpecialFolder},        // fdFonts
    {0x15, kAny, false, false, fdNoSpecialFolder},        // fdTemplates
    {0x16, kAny, NT, false, fdNoSpecialFolder},           // fdCommonStartMenu
    {0x17, kAny, NT, false, fdNoSpecialFolder},           // fdCommonPrograms
    {0x18, kAny, NT, false, fdNoSpecialFolder},           // fdCommonStartup
    {0x19, kAny, NT, false, fdNoSpecialFolder},           // fdCommonDesktopDirectory
    {0x1A, kShell471, false, PATH, fdNoSpecialFolder},    // fdAppData
    {0x1B, kShell471, false, false, fdNoSpecialFolder},   // fdPrintHood
    {0x1C, kShell5, false, PATH, fdNoSpecialFolder},      // fdLocalAppData
    {0x1D, kAny, false, false, fdNoSpecialFolder},        // fdAltStartup
    {0x1E, kAny, NT, false, fdNoSpecialFolder},           // fdCommonAltStartup
    {0x1F, kAny, NT, false, fdNoSpecialFolder},           // fdCommonFavorites
    {0x20, kShell472, false, PATH, fdNoSpecialFolder},    // fdInternetCache
    {0x21, kShell472, false, PATH, fdNoSpecialFolder},    // fdCookies
    {0x22, kShell472, false, PATH, fdNoSpecialFolder},    // fdHistory
    {0x23, kShell5, false, PATH, fdNoSpecialFolder},      // fdCommonAppData
    {0x24, kShell5, false, PATH, fdNoSpecialFolder},      // fdWindows
    {0x25, kShell5, false, PATH, fdNoSpecialFolder},      // fdSystem
    {0x26, kShell5, false, PATH, fdNoSpecialFolder},      // fdProgramFiles
    {0x27, kShell5, false, false, fdPersonal},            // fdMyPictures
    {0x28, kShell5, false, false, fdNoSpecialFolder},     // fdProfile
    {0x29, kShell5, NT, false, fdNoSpecialFolder},        // fdSystemX86
    {0x2A, kShell5, NT, false, fdNoSpecialFolder},        // fdProgramFilesX86
    {0x2B, kShell5, false, PATH, fdNoSpecialFolder},      // fdProgramFilesCommon
    {0x2C, kShell5, NT, false, fdNoSpecialFolder},        // fdProgramFilesCommonX86
    {0x2D, kShell5, NT, false, fdNoSpecialFolder},        // fdCommonTemplates
    {0x2E, kShell5, NT, PATH, fdNoSpecialFolder},         // fdCommonDocuments
    {0x2F, kShell5, NT, PATH, fdNoSpecialFolder},         // fdCommonAdminTools
    {0x30, kShell5, false, PATH, fdNoSpecialFolder},      // fdAdminTools
    {0x31, kShell5, false, false, fdNoSpecialFolder},     // fdConnections
    {0x35, kShell6, NT, false, fdCommonDocuments},        // fdCommonMusic
    {0x36, kShell6, NT, false, fdCommonDocuments},        // fdCommonPictures
    {0x37, kShell6, NT, false, fdCommonDocuments},        // fdCommonVideo
    {0x3B, kShell6, false, false, fdNoSpecialFolder},     // fdCDBurnArea
}};

}  // namespace

const SpecialFolderRow& SpecialFolder(TFromDirectory folder) { return kRows.at(folder); }

RootFolderSource ResolveSpecialFolder(TFromDirectory folder, std::uint32_t shellVersion, bool isNt) {
    if (folder == fdNoSpecialFolder) return {RootFolderSource::Desktop, -1};
    auto served = [&](const SpecialFolderRow& row) {
        return shellVersion >= row.minShell && (!row.ntOnly || isNt);
    };
    const SpecialFolderRow* row = &SpecialFolder(folder);
    while (!served(*row) && !row->resolvableAsPath && row->fallback != fdNoSpecialFolder)
        row = &SpecialFolder(row->fallback);
    return {served(*row) ? RootFolderSource::ShellFolder : RootFolderSource::FolderPath, row->csidl};
}

}  // namespace controls

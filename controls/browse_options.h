#pragma once
// The folder browse dialogs' decisions that need no window: shell flags, option dependencies,
// what an old shell cannot do, the title line, the returned folder text and dialog positions.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "wizard/wizard_types.h"

namespace controls {

using wizard::Point;
using wizard::Rect;
using wizard::Size;

// The identifier of the button a dialog gets beside its own ("&Help", "No directory").
inline constexpr int kAddedButtonId = 0xFFFF;

enum TBrowseKind : std::uint8_t { bfFolders, bfComputers };

// Shell flags of the small dialog.
std::uint32_t BrowseFolderFlags(TBrowseKind kind);
// The chosen path as the dialog reports it: one trailing backslash removed, so "C:\" is "C:".
std::string FolderNameFromPath(std::string path);
// Top-left that centres a window of the given size on the whole screen.
Point CenterOnScreen(Size screen, Size window);

enum TBrowseOption : std::uint8_t {
    odBrowseForComputer, odOnlyDirectory, odOnlyPrinters, odNoBelowDomain, odSystemAncestorsOnly,
    odFileSystemDirectoryOnly, odStatusAvailable, odIncludeFiles, odIncludeUrls, odEditBox,
    odNewDialogStyle, odShareable, odUsageHint, odNoNewButtonFolder, odValidate
};

class TBrowseOptions {
public:
    constexpr TBrowseOptions() = default;
    constexpr TBrowseOptions(std::initializer_list<TBrowseOption> options) {
        for (auto option : options) bits_ |= Bit(option);
    }
    constexpr bool Contains(TBrowseOption option) const { return (bits_ & Bit(option)) != 0; }
    constexpr TBrowseOptions With(TBrowseOption option) const { return FromBits(bits_ | Bit(option)); }
    constexpr TBrowseOptions Without(TBrowseOption option) const { return FromBits(bits_ & ~Bit(option)); }
    // Options in this set that are not in other.
    constexpr TBrowseOptions Minus(TBrowseOptions other) const { return FromBits(bits_ & ~other.bits_); }
    friend constexpr bool operator==(TBrowseOptions, TBrowseOptions) = default;

private:
    static constexpr std::uint16_t Bit(TBrowseOption option) { return static_cast<std::uint16_t>(1u << option); }
    static constexpr TBrowseOptions FromBits(unsigned bits) {
        TBrowseOptions options;
        options.bits_ = static_cast<std::uint16_t>(bits);
        return options;
    }
    std::uint16_t bits_ = 0;
};

inline constexpr TBrowseOptions kDefaultBrowseOptions{odStatusAvailable, odNewDialogStyle};

// The options stored when `requested` is written over `current`: dependent options follow.
TBrowseOptions ApplyOptionDependencies(TBrowseOptions current, TBrowseOptions requested);
// Less what a shell of this version (major * 65536 + minor) cannot do.
TBrowseOptions EffectiveOptions(TBrowseOptions options, std::uint32_t shellVersion);
std::uint32_t BrowseFlags(TBrowseOptions options);
// The text above the tree; the new dialog style has no status line, so the status goes there.
std::string BrowseTitle(const std::string& title, const std::string& statusText, bool newDialogStyle);

enum TFolderPos : std::uint8_t {
    fpDefault, fpScreenCenter, fpFormCenter, fpTopLeft, fpTopRight, fpBottomLeft, fpBottomRight
};

struct FrameMetrics {
    int dialogFrameWidth;
    int dialogFrameHeight;
    int captionHeight;
};

// Where a dialog of the given client size goes; nothing for fpDefault.
std::optional<Point> FolderDialogPosition(TFolderPos position, const Rect& workArea, Size dialog,
                                          const Rect& owner, const FrameMetrics& metrics);

}  // namespace controls

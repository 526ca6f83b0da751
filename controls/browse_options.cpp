#include "controls/browse_options.h"

#include <array>

namespace controls {

namespace {
constexpr std::uint32_t kReturnOnlyFsDirs = 0x1;
constexpr std::uint32_t kReturnFsAncestors = 0x8;
constexpr std::uint32_t kBrowseForComputer = 0x1000;
}  // namespace

std::uint32_t BrowseFolderFlags(TBrowseKind kind) {
    return kind == bfComputers ? kBrowseForComputer : kReturnOnlyFsDirs | kReturnFsAncestors;
}

std::string FolderNameFromPath(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

Point CenterOnScreen(Size screen, Size window) {
    return {(screen.cx - window.cx) / 2, (screen.cy - window.cy) / 2};
}

TBrowseOptions ApplyOptionDependencies(TBrowseOptions current, TBrowseOptions requested) {
    if (requested == current) return current;
    const TBrowseOptions added = requested.Minus(current);
    const TBrowseOptions removed = current.Minus(requested);
    TBrowseOptions o = requested;
    if (added.Contains(odIncludeUrls)) o = o.With(odIncludeFiles).With(odEditBox).With(odNewDialogStyle);
    if (added.Contains(odShareable)) o = o.With(odNewDialogStyle);
    if (added.Contains(odUsageHint)) o = o.With(odNewDialogStyle).Without(odEditBox);
    if (added.Contains(odValidate)) o = o.With(odEditBox);
    if (added.Contains(odEditBox)) o = o.Without(odUsageHint);
    if (removed.Contains(odEditBox)) o = o.Without(odIncludeUrls).Without(odValidate);
    if (removed.Contains(odNewDialogStyle)) o = o.Without(odIncludeUrls).Without(odShareable).Without(odUsageHint);
    if (removed.Contains(odIncludeFiles)) o = o.Without(odIncludeUrls);
    if (o.Contains(odEditBox))
        o = o.Without(odUsageHint);
    else
        o = o.Without(odIncludeUrls).Without(odValidate);
    if (o.Contains(odUsageHint)) o = o.Without(odEditBox).Without(odValidate);
    return o;
}

TBrowseOptions EffectiveOptions(TBrowseOptions options, std::uint32_t shellVersion) {
    if (shellVersion < 0x60000) options = options.Without(odUsageHint).Without(odNoNewButtonFolder);
    if (shellVersion < 0x50000) options = options.Without(odIncludeUrls).Without(odNewDialogStyle).Without(odShareable);
    if (shellVersion < 0x40071) options = options.Without(odIncludeFiles).Without(odEditBox).Without(odValidate);
    return options;
}

std::uint32_t BrowseFlags(TBrowseOptions options) {
    static constexpr std::array<std::uint32_t, 15> flags{0x1000, 0,     0x2000, 0x2,  0x8,    0x1,   0x4,  0x4000,
                                                         0x80,   0x10,  0x40,   0x8000, 0x100, 0x200, 0x20};
    std::uint32_t sum = 0;
    for (unsigned i = 0; i < flags.size(); ++i)
        if (options.Contains(static_cast<TBrowseOption>(i))) sum |= flags[i];
    return sum;
}

std::string BrowseTitle(const std::string& title, const std::string& statusText, bool newDialogStyle) {
    if (statusText.empty() || !newDialogStyle) return title;
    return title.empty() ? statusText : statusText + "\r" + title;
}

std::optional<Point> FolderDialogPosition(TFolderPos position, const Rect& w, Size d, const Rect& owner,
                                          const FrameMetrics& m) {
    switch (position) {
    case fpDefault: return std::nullopt;
    case fpScreenCenter: return Point{(w.right - w.left - d.cx) / 2, (w.bottom - w.top - d.cy) / 2};
    case fpFormCenter: return Point{(owner.left + owner.right - d.cx) / 2, (owner.top + owner.bottom - d.cy) / 2};
    case fpTopLeft: return Point{w.left, w.top};
    case fpTopRight: return Point{w.right - d.cx - m.dialogFrameWidth, w.top};
    case fpBottomLeft: return Point{w.left, w.bottom - d.cy - m.captionHeight + m.dialogFrameHeight};
    case fpBottomRight:
        return Point{w.right - d.cx - m.dialogFrameWidth, w.bottom - d.cy - m.captionHeight - m.dialogFrameHeight};
    }
    return std::nullopt;
}

}  // namespace controls

#pragma once
// TBrowseForFolderDialog's properties and events, and the decisions its dialog asks of them:
// the root folder, whether OK is enabled, which items show, the status line.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "controls/browse_options.h"
#include "controls/shell_folder_table.h"

namespace controls {

// The object classes a folder lists: the shell's enumeration flags 0x20 to 0x800, in this order.
enum TObjectClass : std::uint8_t {
    ocFolders, ocNonFolders, ocIncludeHidden, ocInitOnFirstNext, ocNetPrinterSrch, ocSharable, ocStorage
};

class TObjectClasses {
public:
    constexpr TObjectClasses() = default;
    constexpr TObjectClasses(std::initializer_list<TObjectClass> classes) {
        for (auto c : classes) flags_ |= Flag(c);
    }
    static constexpr TObjectClasses FromFlags(std::uint32_t flags) {
        TObjectClasses classes;
        classes.flags_ = flags & 0xFE0;
        return classes;
    }
    constexpr std::uint32_t Flags() const { return flags_; }
    constexpr bool Contains(TObjectClass c) const { return (flags_ & Flag(c)) != 0; }
    constexpr TObjectClasses With(TObjectClass c) const { return FromFlags(flags_ | Flag(c)); }
    friend constexpr bool operator==(TObjectClasses, TObjectClasses) = default;

private:
    static constexpr std::uint32_t Flag(TObjectClass c) { return 0x20u << c; }
    std::uint32_t flags_ = 0;
};

class TBrowseForFolder {
public:
    // Gives the parsing path of a special folder, empty when the shell has none.
    using SpecialFolderPath = std::function<std::string(TFromDirectory folder)>;
    explicit TBrowseForFolder(SpecialFolderPath specialFolderPath)
        : specialFolderPath_(std::move(specialFolderPath)) {}
    virtual ~TBrowseForFolder() = default;

    std::string Directory;    // initial selection in, parsing name of the chosen item out
    std::string DisplayName;  // display name of the chosen item
    int HelpContext = 0;
    TFolderPos Position = fpScreenCenter;
    std::string Title;
    std::string StatusText;

    std::function<void(TBrowseForFolder& sender, const std::string& newFolder, bool& accept)> OnAcceptChange;
    std::function<void(TBrowseForFolder& sender, const std::string& directory)> OnChange;
    std::function<void(TBrowseForFolder& sender, const std::string& folder, TObjectClasses& flags)> OnGetEnumFlags;
    std::function<void(TBrowseForFolder& sender)> OnInitialized;
    std::function<void(TBrowseForFolder& sender, const std::string& item, bool& doShow)> OnShouldShow;
    std::function<void(TBrowseForFolder& sender, const std::string& editText, bool& canCloseDialog)>
        OnValidateFailed;

    TBrowseOptions Options() const { return options_; }
    // Dependent options follow what was added or removed.
    void SetOptions(TBrowseOptions options) { options_ = ApplyOptionDependencies(options_, options); }

    TFromDirectory RootDirectory() const { return rootDirectory_; }
    // Leaving a special folder keeps its path as the root.
    void SetRootDirectory(TFromDirectory folder);
    // With a special folder set, that folder's parsing path.
    std::string RootDirectoryPath() const;
    void SetRootDirectoryPath(const std::string& path);
    // The path is kept with the component only when it is the root itself.
    bool RootDirectoryPathStored() const { return rootDirectory_ == fdNoSpecialFolder && !rootPath_.empty(); }

    // What the running dialog asks; each defaults to yes without its event.
    bool AcceptsFolder(const std::string& folder);
    bool MayCloseAfterFailedValidation(const std::string& editText);
    bool ShowsItem(const std::string& item);
    TObjectClasses EnumFlagsFor(const std::string& folder, TObjectClasses classes);
    bool FiltersItems() const { return OnShouldShow || OnGetEnumFlags; }

    struct StatusLine {
        std::string text;
        int shortenToWidth;  // a path is shortened to this width; 0 leaves the text as it is
    };
    // The dialog's status line for the selected path; none when the dialog has no status line.
    std::optional<StatusLine> StatusLineFor(TBrowseOptions effective, const std::string& path, int dialogWidth,
                                            int statusLeft) const;

private:
    SpecialFolderPath specialFolderPath_;
    TBrowseOptions options_ = kDefaultBrowseOptions;
    TFromDirectory rootDirectory_ = fdNoSpecialFolder;
    std::string rootPath_;
};

}  // namespace controls

#pragma once
// An IDE's list of design-time packages: value name = package file, data = description.

#include <string>
#include <vector>

namespace ide {

struct TDelphiPackage {
    std::string FileName;  // as the registry value name reads, macros not expanded
    std::string Description;
};

class TDelphiPackageList {
public:
    // An empty description becomes the file's name part without its extension.
    void AddPackage(const std::string& fileName, const std::string& description);
    // First entry whose FileName equals the text, without regard to case; -1 when none.
    int IndexOfFileName(const std::string& fileName) const;
    // First entry whose FileName's name part equals the text, without regard to case.
    int IndexOfName(const std::string& name) const;

    int Count() const { return static_cast<int>(Items.size()); }
    const TDelphiPackage& operator[](int index) const { return Items.at(static_cast<std::size_t>(index)); }
    void Delete(int index);
    void Clear() { Items.clear(); }

private:
    std::vector<TDelphiPackage> Items;
};

// The text after the last path delimiter or drive colon.
std::string ExtractFileName(const std::string& path);

}  // namespace ide

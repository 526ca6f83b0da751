#include "ide/package_list.h"

#include "system/text.h"

namespace ide {

std::string ExtractFileName(const std::string& path) {
    const auto delimiter = path.find_last_of("\\:");
    return delimiter == std::string::npos ? path : path.substr(delimiter + 1);
}

void TDelphiPackageList::AddPackage(const std::string& fileName, const std::string& description) {
    std::string text = description;
    if (text.empty()) {
        text = ExtractFileName(fileName);
        const auto dot = text.find_last_of('.');
        if (dot != std::string::npos) text.erase(dot);
    }
    Items.push_back({fileName, text});
}

int TDelphiPackageList::IndexOfFileName(const std::string& fileName) const {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (sys::SameText(Items[i].FileName, fileName)) return static_cast<int>(i);
    return -1;
}

int TDelphiPackageList::IndexOfName(const std::string& name) const {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (sys::SameText(ExtractFileName(Items[i].FileName), name)) return static_cast<int>(i);
    return -1;
}

void TDelphiPackageList::Delete(int index) {
    if (index >= 0 && index < Count()) Items.erase(Items.begin() + index);
}

}  // namespace ide

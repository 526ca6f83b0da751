#include "ide/path_list.h"

#include "system/file_utils.h"

namespace ide {

namespace {

// "\" and "D:\" need their delimiter: without it they name the current folder.
bool IsRoot(const std::string& entry) {
    return entry == "\\" || (entry.size() == 3 && entry[1] == ':' && entry[2] == '\\');
}

}  // namespace

std::vector<std::string> SplitPathList(const std::string& text) {
    std::vector<std::string> list;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) break;
        const std::size_t end = std::min(text.find(';', pos), text.size());
        const std::string entry = text.substr(pos, end - pos);
        list.push_back(IsRoot(entry) ? entry : sys::RemovePathDelimiter(entry));
        if (end >= text.size()) break;
        pos = end + 1;
    }
    return list;
}

std::string JoinPathList(const std::vector<std::string>& list) {
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) text += ';';
        text += list[i];
        // Splitting takes one trailing delimiter away again, but a root's.
        if (list[i].ends_with('\\') && !IsRoot(list[i])) text += '\\';
    }
    // A final ";" adds no entry, so a last empty entry needs one more.
    if (!list.empty() && list.back().empty()) text += ';';
    return text;
}

std::vector<std::string> PathFolders(const std::string& path) {
    std::vector<std::string> folders;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        const std::size_t end = std::min(path.find(';', pos), path.size());
        std::string folder = path.substr(pos, end - pos);
        if (folder.size() > 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (!folder.empty()) folders.push_back(folder);
        pos = end + 1;
    }
    return folders;
}

}  // namespace ide

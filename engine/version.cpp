#include "engine/version.h"

#include <array>

#include "system/text.h"

namespace engine {

TVersion::TVersion(const std::string& text) {
    if (sys::Trim(text).empty() || !ParseText(text)) throw BadVersionError();
}

bool TVersion::ParseText(const std::string& text) {
    std::array<std::string, 4> groups;
    std::size_t pos = 0;
    for (auto& group : groups) {
        while (pos < text.size() && text[pos] == '.') ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
        group = text.substr(start, pos - start);
    }
    if (groups[0].empty() || groups[1].empty() || groups[2].empty()) return false;

    Major = groups[0];
    Minor = groups[1];
    Release = groups[2];
    Build = groups[3];
    EditionText = sys::Trim(std::string_view(text).substr(pos));
    WithSources = sys::EndsWithText(EditionText, "With Sources", true);
    IsFree = sys::StartsWithText(EditionText, "Free", true);
    return true;
}

std::string TVersion::NumberText() const {
    std::string result = Major + "." + Minor + "." + Release;
    if (!Build.empty()) result += "." + Build;
    return result;
}

std::string TVersion::EditionName() const {
    std::string result = IsFree ? "Free Edition" : "Standard Edition";
    if (WithSources) result += " With Sources";
    return result;
}

std::string TVersion::FullText() const { return NumberText() + " " + EditionName(); }

}  // namespace engine

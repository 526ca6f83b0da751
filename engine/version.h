#pragma once
// The product's version text: up to four number groups kept as text, then the edition words.

#include <stdexcept>
#include <string>

namespace engine {

class BadVersionError : public std::runtime_error {
public:
    BadVersionError() : std::runtime_error("Bad version string") {}
};

class TVersion {
public:
    // Refuses with BadVersionError a text that is blank or whose first three number groups are
    // not all present. Callers pass text they have trimmed.
    explicit TVersion(const std::string& text);
    // No version yet: every field empty.
    TVersion() = default;

    // Fills the fields; false, changing nothing, when the text is not a version.
    bool ParseText(const std::string& text);

    // "2.4.1" or "2.4.1.17".
    std::string NumberText() const;
    // "Standard Edition" or "Free Edition", optionally followed by " With Sources".
    std::string EditionName() const;
    // NumberText, a blank and EditionName: the stored form and the form versions compare in.
    std::string FullText() const;

    bool operator==(const TVersion& other) const { return FullText() == other.FullText(); }

    std::string Major;
    std::string Minor;
    std::string Release;
    std::string Build;
    std::string EditionText;
    bool IsFree = false;
    bool WithSources = false;
};

}  // namespace engine

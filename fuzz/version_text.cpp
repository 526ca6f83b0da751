// The distribution's version file, read as the installer reads it: trimmed, then parsed. Either
// it is refused with the one error, or its numbers are digits and its full text reads back to
// the same version.

#include "engine/version.h"
#include "fuzz/support/fuzz_support.h"
#include "system/text.h"

namespace {

bool AllDigits(const std::string& text) {
    return text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = sys::Trim(fuzz::Bytes(data, size));
    engine::TVersion version;
    try {
        version = engine::TVersion(text);
    } catch (const engine::BadVersionError&) {
        return 0;
    }
    FUZZ_CHECK(!version.Major.empty() && !version.Minor.empty() && !version.Release.empty());
    FUZZ_CHECK(AllDigits(version.Major) && AllDigits(version.Minor) && AllDigits(version.Release) &&
               AllDigits(version.Build));

    const std::string fullText = version.FullText();
    const engine::TVersion reread(fullText);
    FUZZ_CHECK(reread.FullText() == fullText);
    FUZZ_CHECK(reread.IsFree == version.IsFree && reread.WithSources == version.WithSources);

    // A failed parse leaves the version as it was.
    FUZZ_CHECK(!version.ParseText("") && version.FullText() == fullText);
    return 0;
}

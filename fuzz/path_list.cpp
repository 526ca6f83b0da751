// An IDE's ";"-separated folder list as the registry holds it: whatever the text, joining what
// was split and splitting again gives the same list, so saving the paths back loses nothing.

#include "fuzz/support/fuzz_support.h"
#include "ide/path_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> list = ide::SplitPathList(std::string(fuzz::Bytes(data, size)));
    const std::string joined = ide::JoinPathList(list);
    FUZZ_CHECK(ide::SplitPathList(joined) == list);
    FUZZ_CHECK(joined.size() <= size);
    return 0;
}

// An IDE's package keys as the registry holds them, with fuzzed value names and data. Input
// lines: NAME=DATA, one string value each, dealt to the three package keys in turn. Every value
// is read as one package, in the registry's order, under its own name and with its text up to
// the first zero; saving the lists unchanged leaves the keys as they were.

#include "fuzz/support/fuzz_support.h"
#include "ide/compile_target.h"
#include "platform/memory/memory_machine.h"

namespace {

using platform::Hive;
using platform::KeyAccess;
using Values = std::vector<std::pair<std::string, std::string>>;

const std::string kUserKey = "SOFTWARE\\Borland\\Delphi\\7.0\\";
const char* const kPackageKeys[] = {"Known Packages", "Disabled Packages", "Known IDE Packages"};

// One machine for every input; the keys an input wrote go when it ends, so that each run frees
// what it allocated (else libFuzzer looks for a leak after every run).
class PackageKeys {
public:
    PackageKeys(platform::memory::MemoryMachine& machine, const std::vector<std::string>& lines)
        : machine_(machine) {
        for (int k = 0; k < 3; ++k)
            keys_[k] = machine_.registry.OpenKey(Hive::User, kUserKey + kPackageKeys[k], KeyAccess::CreateWrite);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::size_t equals = lines[i].find('=');
            keys_[i % 3]->WriteString(lines[i].substr(0, equals),
                                      equals == std::string::npos ? "" : lines[i].substr(equals + 1));
        }
    }
    ~PackageKeys() {
        for (const char* key : kPackageKeys) machine_.registry.DeleteKey(Hive::User, kUserKey + key);
    }
    PackageKeys(const PackageKeys&) = delete;
    PackageKeys& operator=(const PackageKeys&) = delete;

    // Every value of the key with its text, in the registry's order.
    Values Read(int k) const { return keys_[k]->StringValues(); }

private:
    platform::memory::MemoryMachine& machine_;
    std::unique_ptr<platform::RegistryKey> keys_[3];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static platform::memory::MemoryMachine machine;
    const PackageKeys keys(machine, fuzz::Fields(fuzz::Bytes(data, size), '\n'));

    ide::TCompileTarget target(machine.platform, "Delphi", "Delphi", "7.0");
    target.ReloadLists();
    const ide::TDelphiPackageList* lists[] = {&target.KnownPackages, &target.DisabledPackages,
                                              &target.KnownIDEPackages};
    Values before[3];
    for (int k = 0; k < 3; ++k) {
        before[k] = keys.Read(k);
        const ide::TDelphiPackageList& list = *lists[k];
        FUZZ_CHECK(list.Count() == static_cast<int>(before[k].size()));
        for (int i = 0; i < list.Count(); ++i) {
            const auto& [name, text] = before[k][static_cast<std::size_t>(i)];
            FUZZ_CHECK(list[i].FileName == name);
            FUZZ_CHECK(text.empty() || list[i].Description == text);
        }
    }

    target.SavePackageLists();
    for (int k = 0; k < 3; ++k) FUZZ_CHECK(keys.Read(k) == before[k]);
    return 0;
}

// The package images are read back by the installer's own import reader.
#include "tools/pe_package/pe_package.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "system/pe_image.h"

namespace {

using ::testing::ElementsAre;

TEST(PackageImage, ImportsExactlyTheNamedModules) {
    const auto design = sys::ReadPe32Imports(
        fixtures::PackageImage({"rtl70.bpl", "vcl70.bpl", "designide70.bpl", "tkQuorvexD7.bpl"}));
    ASSERT_TRUE(design);
    EXPECT_THAT(design->imports, ElementsAre("rtl70.bpl", "vcl70.bpl", "designide70.bpl", "tkQuorvexD7.bpl"));

    const auto none = sys::ReadPe32Imports(fixtures::PackageImage({}));
    ASSERT_TRUE(none);
    EXPECT_THAT(none->imports, ElementsAre());

    const std::vector<std::string> eight = {"a1.bpl", "a2.bpl", "a3.bpl", "a4.bpl",
                                            "a5.bpl", "a6.bpl", "a7.bpl", std::string(43, 'z') + ".bpl"};
    const auto full = sys::ReadPe32Imports(fixtures::PackageImage(eight));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->imports, eight);
}

TEST(PackageImage, RefusesWhatTheTemplateCannotHold) {
    EXPECT_THROW(fixtures::PackageImage(std::vector<std::string>(9, "a.bpl")), std::invalid_argument);
    EXPECT_THROW(fixtures::PackageImage({std::string(48, 'x')}), std::invalid_argument);
}

TEST(PackageImage, TheWrongBitnessIsARealX64Image) {
    const std::string image = fixtures::Package64Image();
    ASSERT_GT(image.size(), 0x100u);
    EXPECT_EQ(image.substr(0, 2), "MZ");
    EXPECT_FALSE(sys::ReadPe32Imports(image));
}

}  // namespace

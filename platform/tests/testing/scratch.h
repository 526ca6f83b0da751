#pragma once
// Names that no other test run uses, for scratch folders and registry keys.

#include <string>

namespace testing_support {

std::string UniqueName(const std::string& prefix);

}  // namespace testing_support

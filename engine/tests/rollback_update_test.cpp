// A failed IDE is left exactly as it was: the failures of rollback_checks.h for an update of
// Delphi 7, C++Builder 6 and Delphi 2005.
#include "engine/tests/testing/rollback_checks.h"

namespace {

using enginetest::Scenario;

TEST(Rollback, AFailureAtEachChangeOfDelphi7LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::Update, 0); }
TEST(Rollback, AFailureAtEachChangeOfCBuilder6LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::Update, 1); }
TEST(Rollback, AFailureAtEachChangeOfDelphi2005LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::Update, 2); }

}  // namespace

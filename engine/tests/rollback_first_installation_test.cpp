// A failed IDE is left exactly as it was, and a run cut short is undone at the next start: the
// proofs of rollback_checks.h for a first installation into Delphi 7, C++Builder 6 and Delphi 2005.
#include "engine/tests/testing/rollback_checks.h"

namespace {

using enginetest::Scenario;

TEST(Rollback, AFailureAtEachChangeOfDelphi7LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::FirstInstallation, 0); }
TEST(Rollback, AFailureAtEachChangeOfCBuilder6LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::FirstInstallation, 1); }
TEST(Rollback, AFailureAtEachChangeOfDelphi2005LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::FirstInstallation, 2); }
TEST(Rollback, AKillAtEveryThirdChangeIsUndoneAtTheNextStart) { enginetest::KillAtEachChange(Scenario::FirstInstallation, 3); }

}  // namespace

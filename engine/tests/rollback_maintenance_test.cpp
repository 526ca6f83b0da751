// A failed IDE is left exactly as it was, and a run cut short is undone at the next start: the
// proofs of rollback_checks.h for a maintenance into Delphi 7, C++Builder 6 and Delphi 2005.
#include "engine/tests/testing/rollback_checks.h"

namespace {

using enginetest::Scenario;

TEST(Rollback, AFailureAtEveryThirdChangeOfDelphi7LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::Maintenance, 0, 3); }
TEST(Rollback, AFailureAtEveryThirdChangeOfCBuilder6LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::Maintenance, 1, 3); }
TEST(Rollback, AFailureAtEveryThirdChangeOfDelphi2005LeavesItAsItWas) { enginetest::FailAtEachChange(Scenario::Maintenance, 2, 3); }
TEST(Rollback, AKillAtEveryThirdChangeIsUndoneAtTheNextStart) { enginetest::KillAtEachChange(Scenario::Maintenance, 3); }

}  // namespace

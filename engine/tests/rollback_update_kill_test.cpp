// A run cut short is undone at the next start, and so is a restore cut short: the kills of
// rollback_checks.h for an update of Delphi 7, C++Builder 6 and Delphi 2005.
#include "engine/tests/testing/rollback_checks.h"

namespace {

using enginetest::Scenario;

TEST(Rollback, AKillAtEachChangeIsUndoneAtTheNextStart) { enginetest::KillAtEachChange(Scenario::Update); }
TEST(Rollback, ARestoreCutShortAtEachChangeIsDoneAgainAtTheNextStart) { enginetest::KillDuringRestore(Scenario::Update, 1); }

}  // namespace

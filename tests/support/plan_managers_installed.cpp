// Linked into the tests that reach the plan managers through the context:
// installs their makers, as start-up does, before any test runs.
#include "plan/context_plan_managers.h"

namespace {

const bool g_installed = [] {
    InstallPlanManagers();
    return true;
}();

} // namespace

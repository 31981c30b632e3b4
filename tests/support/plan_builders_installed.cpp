// Linked into the tests that apply, check or store plans, or reach the plan
// managers through the context: installs what start-up installs, before any
// test runs.
#include "builder/plan_builders_install.h"
#include "plan/context_plan_managers.h"

namespace {

const bool g_installed = [] {
    InstallPlanManagers();
    InstallPlanBuilders();
    return true;
}();

} // namespace

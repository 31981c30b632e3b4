#pragma once

// Lets the context make its plan manager and cycle-plan manager on first use
// (CQelContext::GetPlanMan, GetCyclePlanMan). Called once at start-up, and
// by the tests that reach the managers through the context.
void InstallPlanManagers();
